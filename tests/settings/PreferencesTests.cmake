vela_add_test(tst_preferences LABEL gui SOURCES tst_preferences.cpp LIBS vela_app vela_scripted_services vela_ini)

# Not a test: draws the preferences dialog for a person to look at.
qt_add_executable(vela_preferences_screenshot EXCLUDE_FROM_ALL preferences_screenshot.cpp)
target_link_libraries(vela_preferences_screenshot PRIVATE vela_settings vela_services)
