# Splash window and About box (gui).
vela_add_test(tst_shell LABEL gui SOURCES tst_shell.cpp LIBS vela_app vela_scripted_services)

# Not a test: draws the splash, the About box and the help window to PNG files.
add_executable(shell_screenshots EXCLUDE_FROM_ALL shell_screenshots.cpp)
target_link_libraries(shell_screenshots PRIVATE vela_shell vela_services Qt6::Test)
