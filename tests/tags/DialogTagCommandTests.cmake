# The dialog-driven tag commands through the real window and dialogs, and the picture name rules.
vela_add_test(tst_dialogtags LABEL gui SOURCES tst_dialogtags.cpp LIBS vela_app vela_scripted_services)
vela_add_test(tst_picturename LABEL unit SOURCES tst_picturename.cpp LIBS vela_tags)
