# A Qt Test executable run by CTest on the offscreen platform:
#   tavrel_qt_test(NAME LIBRARY SOURCES...)
function(tavrel_qt_test name library)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE ${library} tavrel_test_support Qt6::Test)
  tavrel_target(${name})
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TAVREL_TEST_ENV}")
endfunction()
