# Browser preview, printing and help through the main window (gui).
vela_add_test(tst_output LABEL gui SOURCES tst_output.cpp PrintingServices.h LIBS vela_app vela_scripted_services)
