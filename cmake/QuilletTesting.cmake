# quillet_add_test(<name> SOURCES <files...> LIBS <targets...> [QT] [PRIVATE_NETWORK]
#                  [LABELS <labels...>] [ENVIRONMENT <VAR=value...>] [TIMEOUT <seconds>]
#                  [COST <seconds>])
# One test program, one CTest entry. QT gives the program a main() that creates an offscreen
# QApplication before GoogleTest runs. Either main() exits with 77 when a test skipped itself,
# which CTest reports as skipped. PRIVATE_NETWORK runs the program in a network namespace of its
# own (loopback only), for tests that type an address into the window and press a button. COST,
# the usual seconds of a long test, lets CTest start it first even without timings of its own
# (a clean clone), rather than last in the order of declaration with the others waiting on it.
function(quillet_add_test name)
  cmake_parse_arguments(T "QT;PRIVATE_NETWORK" "TIMEOUT;COST" "SOURCES;LIBS;LABELS;ENVIRONMENT" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_QT)
    target_link_libraries(${name} PRIVATE ${T_LIBS} quillet_qt_test_main)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} quillet_test_main)
  endif()
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gmock quillet_test_support)
  quillet_reuse_test_headers(${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  if(T_PRIVATE_NETWORK)
    add_test(NAME ${name}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/private-network.sh $<TARGET_FILE:${name}>)
  else()
    add_test(NAME ${name} COMMAND ${name})
  endif()
  set_tests_properties(${name} PROPERTIES
    TIMEOUT ${T_TIMEOUT}
    # A test that skipped itself is reported as skipped, never as passed: by the exit code the
    # test main gives it, and by GoogleTest's own line should another main run it.
    SKIP_RETURN_CODE 77
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]"
    LABELS "${T_LABELS}"
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${T_ENVIRONMENT}")
  if(T_COST)
    set_tests_properties(${name} PROPERTIES COST ${T_COST})
  endif()
  if("threads" IN_LIST T_LABELS)
    quillet_tsan_test(${name})
  endif()
endfunction()

# quillet_tsan_test(<name>): a threaded test that also runs under ThreadSanitizer. The tsan preset
# builds only the target quillet_tsan_tests and runs only the tests labelled tsan, so the list
# lives here and nowhere else. The window's tests (app_) stay out: they drive Qt's widgets and
# windows, which are not built with ThreadSanitizer.
set(QUILLET_TSAN_TEST_NAMES "^(platform|i18n|zevaruv|serial|emulator|printer|diagnostics|cli|usb)_")
function(quillet_tsan_test name)
  if(name MATCHES "${QUILLET_TSAN_TEST_NAMES}")
    set_property(TEST ${name} APPEND PROPERTY LABELS tsan)
    add_dependencies(quillet_tsan_tests ${name})
  endif()
endfunction()
