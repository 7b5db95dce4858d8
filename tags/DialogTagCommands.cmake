# The commands that compose their tag in a tag dialog, and the picture name rules.
target_sources(vela_tags PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/DialogTagCommands.h ${CMAKE_CURRENT_LIST_DIR}/DialogTagCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PictureName.h ${CMAKE_CURRENT_LIST_DIR}/PictureName.cpp)
target_link_libraries(vela_tags PUBLIC vela_dialogs vela_services Qt6::Widgets)
