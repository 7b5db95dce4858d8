vela_add_test(tst_promptedtags LABEL gui SOURCES tst_promptedtags.cpp LIBS vela_app vela_scripted_services)
