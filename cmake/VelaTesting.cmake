# vela_add_test(<name> LABEL <groups...> SOURCES <files...> LIBS <targets...>)
# One Qt Test executable per area; the labels are its test groups (unit, gui,
# e2e, fuzz, print, faults, big), so each group runs alone with ctest -L.
function(vela_add_test name)
  cmake_parse_arguments(T "" "" "LABEL;SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} vela_test_support Qt6::Test)
  add_test(NAME ${name} COMMAND ${name})
  # Recovery copies of windows a test starts never reach the developer's home.
  set(env "TEST_DATA_DIR=${PROJECT_SOURCE_DIR}/tests/data" "XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state/${name}")
  if(NOT "e2e" IN_LIST T_LABEL)
    list(APPEND env "QT_QPA_PLATFORM=offscreen")
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
