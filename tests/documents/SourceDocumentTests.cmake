vela_add_test(tst_sourcedocuments LABEL gui SOURCES tst_sourcedocuments.cpp DocumentTestSupport.h
  LIBS vela_app vela_scripted_services vela_errors)
vela_add_test(tst_htmlexportimport LABEL gui SOURCES tst_htmlexportimport.cpp DocumentTestSupport.h
  LIBS vela_app vela_scripted_services vela_errors)
