# One place registers every test with ctest. A test is one QtTest executable
# built from one tst_*.cpp file; widget tests run on the offscreen platform.
function(kavrel_add_test source)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  get_filename_component(name ${source} NAME_WE)
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE Qt6::Test ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;KAVREL_SOURCE_DIR=${PROJECT_SOURCE_DIR};KAVREL_BINARY_DIR=${PROJECT_BINARY_DIR}"
    TIMEOUT 300)
endfunction()
