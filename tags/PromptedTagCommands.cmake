# Commands that ask in the input prompt, and the date text.
target_sources(vela_tags PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/PromptedTagCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/DateTimeText.cpp)
target_link_libraries(vela_tags PUBLIC vela_pane vela_services Qt6::Core)
