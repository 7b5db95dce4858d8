vela_add_test(tst_form_dialogs LABEL gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form_dialogs.cpp LIBS vela_dialogs vela_scripted_services)
vela_add_test(tst_frame_dialogs LABEL gui SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_frame_dialogs.cpp LIBS vela_dialogs vela_scripted_services)
