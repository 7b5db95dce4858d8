# Preferences dialog TForm10 and the mail address prompt.
target_sources(vela_settings PRIVATE TForm10.h TForm10.cpp PreferenceCommands.h PreferenceCommands.cpp)
set_target_properties(vela_settings PROPERTIES AUTOUIC ON AUTOUIC_SEARCH_PATHS ${PROJECT_SOURCE_DIR}/resources/ui)
target_link_libraries(vela_settings PUBLIC vela_dialogs vela_services Qt6::Widgets)
