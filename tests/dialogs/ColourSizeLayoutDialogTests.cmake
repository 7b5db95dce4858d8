# The colour, size and text layout dialogs, driven through their real windows.
vela_add_test(tst_colour_dialogs LABEL gui SOURCES tst_colour_dialogs.cpp DialogScript.h LIBS vela_dialogs)
vela_add_test(tst_size_dialogs LABEL gui SOURCES tst_size_dialogs.cpp DialogScript.h LIBS vela_dialogs)
vela_add_test(tst_layout_dialogs LABEL gui SOURCES tst_layout_dialogs.cpp DialogScript.h LIBS vela_dialogs)

# Not a test: writes a PNG of each dialog for looking at the layouts.
add_executable(colour_size_layout_screenshots EXCLUDE_FROM_ALL colour_size_layout_screenshots.cpp)
target_link_libraries(colour_size_layout_screenshots PRIVATE vela_dialogs)
