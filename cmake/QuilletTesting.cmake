# quillet_add_test(<name> SOURCES <files...> LIBS <targets...> [QT] [LABELS <labels...>]
#                  [ENVIRONMENT <VAR=value...>] [TIMEOUT <seconds>])
# One test program, one CTest entry. QT gives the program a main() that creates an
# offscreen QApplication before GoogleTest runs; otherwise gtest_main is used.
function(quillet_add_test name)
  cmake_parse_arguments(T "QT" "TIMEOUT" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE ${T_LIBS} quillet_qt_test_main)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  endif()
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock quillet_test_support)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENVIRONMENT}")
endfunction()
