# How the build is kept short on small machines, without changing what is built or tested.
#
# Precompiled headers: GCC parses the Qt widget headers, GoogleTest and the common standard
# headers once per library (and once for all test programs) instead of once per file. Clang
# refuses a header made with other definitions, so only GCC builds use them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(QUILLET_PRECOMPILE ON)
else()
  set(QUILLET_PRECOMPILE OFF)
endif()

set(QUILLET_PRECOMPILED_HEADERS
  <QApplication> <QByteArray> <QCheckBox> <QComboBox> <QImage> <QLabel> <QLineEdit> <QObject>
  <QPainter> <QPlainTextEdit> <QPushButton> <QRadioButton> <QSpinBox> <QString> <QTimer>
  <QWidget>
  <algorithm> <atomic> <chrono> <condition_variable> <cstdint> <filesystem> <fstream>
  <functional> <map> <memory> <mutex> <optional> <sstream> <stdexcept> <string> <thread>
  <vector>)

# quillet_precompile_qt(<target>): the target's files start from the parsed headers above; for
# libraries and programs with several files that use Qt's widgets.
function(quillet_precompile_qt target)
  if(QUILLET_PRECOMPILE)
    target_precompile_headers(${target} PRIVATE ${QUILLET_PRECOMPILED_HEADERS})
  endif()
endfunction()

# quillet_precompile_tests(<target>): the one precompiled header all test programs share, owned
# by <target>; GoogleTest is in it too. The programs compile with the owner's definitions (they
# all link it), so GCC accepts the header for each of them.
function(quillet_precompile_tests owner)
  if(QUILLET_PRECOMPILE)
    target_precompile_headers(${owner} PRIVATE <gtest/gtest.h> ${QUILLET_PRECOMPILED_HEADERS})
  endif()
endfunction()

function(quillet_reuse_test_headers target)
  if(QUILLET_PRECOMPILE)
    target_precompile_headers(${target} REUSE_FROM quillet_test_support)
  endif()
endfunction()

# quillet_test_program_options(): for the folder of the test programs. Their own code is built
# for a short build, while the code they test keeps its build's optimisation and sanitizers:
# no optimisation (so no _FORTIFY_SOURCE, which needs it), line tables for stack traces, and in
# the AddressSanitizer build no UndefinedBehaviorSanitizer checks of the tests' own lines, which
# cost a third of their compile time there.
function(quillet_test_program_options)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    add_compile_options(-O0 -g1 -U_FORTIFY_SOURCE)
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*address")
      add_compile_options(-fno-sanitize=undefined)
    endif()
  endif()
endfunction()
