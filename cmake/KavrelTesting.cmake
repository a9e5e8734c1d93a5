# One place registers every test with ctest. A test is one QtTest executable
# built from one tst_*.cpp file; widget tests run on the offscreen platform.
#
# TIMEOUT: seconds before ctest stops the test (300 unless given). Window
# tests get less, so that one waiting for a window that never comes fails
# soon and by its name.
# A test that skips as root (it asks geteuid) gets the label "permissions":
# CI runs that label a second time as an unprivileged user, for whom
# unreadable and unwritable files really fail.
function(kavrel_add_test source)
  cmake_parse_arguments(ARG "" "TIMEOUT" "LIBS" ${ARGN})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KAVREL_SOURCE_DIR=${PROJECT_SOURCE_DIR};KAVREL_BINARY_DIR=${PROJECT_BINARY_DIR}"
    TIMEOUT ${ARG_TIMEOUT})
  file(STRINGS ${source} asksForRoot REGEX "geteuid\\(\\)")
  if(asksForRoot)
    set_tests_properties(${name} PROPERTIES LABELS permissions)
  endif()
endfunction()
