# Browser preview, printing and help through the main window (gui).
vela_add_test(tst_output LABEL gui SOURCES tst_output.cpp PrintingServices.h LIBS vela_app vela_scripted_services)

# Printing on a real CUPS with a private cupsd (print); skipped when CUPS is missing.
vela_add_test(tst_cupsprint LABEL print SOURCES tst_cupsprint.cpp PrintingServices.h LIBS vela_app vela_scripted_services)
