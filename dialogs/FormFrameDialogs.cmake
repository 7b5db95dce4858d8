# Form field dialogs (TForm16, TForm17, TForm18) and frame dialogs (TForm12, TForm13).
target_sources(vela_dialogs PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Cp932Edit.h ${CMAKE_CURRENT_LIST_DIR}/Cp932Edit.cpp
  ${CMAKE_CURRENT_LIST_DIR}/UpDown.h ${CMAKE_CURRENT_LIST_DIR}/UpDown.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TForm12.h ${CMAKE_CURRENT_LIST_DIR}/TForm12.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TForm13.h ${CMAKE_CURRENT_LIST_DIR}/TForm13.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TForm16.h ${CMAKE_CURRENT_LIST_DIR}/TForm16.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TForm17.h ${CMAKE_CURRENT_LIST_DIR}/TForm17.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TForm18.h ${CMAKE_CURRENT_LIST_DIR}/TForm18.cpp
  ${PROJECT_SOURCE_DIR}/resources/ui/TForm12.ui
  ${PROJECT_SOURCE_DIR}/resources/ui/TForm13.ui
  ${PROJECT_SOURCE_DIR}/resources/ui/TForm16.ui
  ${PROJECT_SOURCE_DIR}/resources/ui/TForm17.ui
  ${PROJECT_SOURCE_DIR}/resources/ui/TForm18.ui)
# The edit boxes share the input prompt's CP932 validator.
target_link_libraries(vela_dialogs PUBLIC vela_services)
