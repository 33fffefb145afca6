# quillet_add_test(<name> SOURCES <files...> LIBS <targets...> [QT] [PRIVATE_NETWORK]
#                  [LABELS <labels...>] [ENVIRONMENT <VAR=value...>] [TIMEOUT <seconds>]
#                  [COST <seconds>] [DEFINITIONS <NAME=value...>] [DEPENDS <targets...>])
# One CTest entry that runs the tests defined in <files>. The tests of one folder are built into
# one program (see quillet_test_program), compiled together as a few large files: most of a test
# file's compile is parsing and instantiating the same Qt and GoogleTest templates, which a
# program per file paid for once per file. The entry runs that program with --tests-from=<files>,
# so each file still passes, fails or skips on its own line, in a process of its own.
# QT gives the program a main() that creates an offscreen QApplication before GoogleTest runs.
# Either main() exits with 77 when a test skipped itself, which CTest reports as skipped.
# PRIVATE_NETWORK runs the entry in a network namespace of its own (loopback only), for tests that
# type an address into the window and press a button. COST, the usual seconds of a long test,
# lets CTest start it first even without timings of its own (a clean clone), rather than last in
# the order of declaration with the others waiting on it. DEFINITIONS and DEPENDS apply to the
# whole program: a folder's tests share them (the path of a program they start, say).
function(quillet_add_test name)
  cmake_parse_arguments(T "QT;PRIVATE_NETWORK" "TIMEOUT;COST"
    "SOURCES;LIBS;LABELS;ENVIRONMENT;DEFINITIONS;DEPENDS" ${ARGN})
  quillet_test_program(program ${name} "${T_QT}" "${T_LABELS}")
  target_sources(${program} PRIVATE ${T_SOURCES})
  target_link_libraries(${program} PRIVATE ${T_LIBS})
  if(T_DEFINITIONS)
    target_compile_definitions(${program} PRIVATE ${T_DEFINITIONS})
  endif()
  if(T_DEPENDS)
    add_dependencies(${program} ${T_DEPENDS})
  endif()
  set(files)
  foreach(source IN LISTS T_SOURCES)
    get_filename_component(source "${source}" ABSOLUTE)
    file(RELATIVE_PATH source "${CMAKE_SOURCE_DIR}" "${source}")
    list(APPEND files "${source}")
  endforeach()
  list(JOIN files "," files)
  set(command $<TARGET_FILE:${program}> --tests-from=${files})
  if(T_PRIVATE_NETWORK)
    add_test(NAME ${name}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/support/private-network.sh ${command})
  else()
    add_test(NAME ${name} COMMAND ${command})
  endif()
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
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
    quillet_tsan_test(${name} ${program})
  endif()
endfunction()

# quillet_test_program(<variable> <test name> <QT> <labels>): the program of the current folder
# that <test name> is built into, created with its first test. Widget tests get a program of their
# own (their main() creates the QApplication), and so do the threaded tests the ThreadSanitizer
# build runs, so that build compiles no more than those.
function(quillet_test_program variable name qt labels)
  file(RELATIVE_PATH folder "${CMAKE_SOURCE_DIR}/tests" "${CMAKE_CURRENT_SOURCE_DIR}")
  string(REPLACE "/" "_" program "${folder}")
  if("threads" IN_LIST labels AND name MATCHES "${QUILLET_TSAN_TEST_NAMES}")
    string(APPEND program "_threaded")
  endif()
  if(qt)
    string(APPEND program "_widget")
  endif()
  string(APPEND program "_tests")
  set(${variable} ${program} PARENT_SCOPE)
  if(TARGET ${program})
    return()
  endif()
  add_executable(${program})
  if(qt)
    target_link_libraries(${program} PRIVATE quillet_qt_test_main)
  else()
    target_link_libraries(${program} PRIVATE quillet_test_main)
  endif()
  target_link_libraries(${program} PRIVATE GTest::gtest GTest::gmock quillet_test_support)
  quillet_reuse_test_headers(${program})
endfunction()

# quillet_tsan_test(<name> [<program>]): a threaded test that also runs under ThreadSanitizer;
# <program> is the program it runs, when that is not named <name>. The tsan preset builds only the
# target quillet_tsan_tests and runs only the tests labelled tsan, so the list lives here and
# nowhere else. The window's tests (app_) stay out: they drive Qt's widgets and windows, which are
# not built with ThreadSanitizer.
set(QUILLET_TSAN_TEST_NAMES "^(platform|i18n|zevaruv|serial|emulator|printer|diagnostics|cli|usb)_")
function(quillet_tsan_test name)
  set(program ${ARGN})
  if(NOT program)
    set(program ${name})
  endif()
  if(name MATCHES "${QUILLET_TSAN_TEST_NAMES}")
    set_property(TEST ${name} APPEND PROPERTY LABELS tsan)
    add_dependencies(quillet_tsan_tests ${program})
  endif()
endfunction()
