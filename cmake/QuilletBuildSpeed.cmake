# How the build is kept short on small machines, without changing what is built or tested.
#
# Batches: the files of each library, program and test program are compiled together, 16 at a
# time (CMake's unity build). Most of a file's compile is parsing and instantiating the same Qt,
# standard and GoogleTest templates, which a batch pays for once; a developer who changes one
# file recompiles its batch. Files that cannot share a batch say why where they are listed.
option(QUILLET_UNITY_BUILD "Compile each target's files together in batches" ON)
set(QUILLET_UNITY_BATCH 16 CACHE STRING "Files compiled together in one batch")
set(CMAKE_UNITY_BUILD ${QUILLET_UNITY_BUILD})
set(CMAKE_UNITY_BUILD_BATCH_SIZE ${QUILLET_UNITY_BATCH})
if(QUILLET_UNITY_BUILD AND CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # In a batch, a class that holds a type from a file's anonymous namespace looks to GCC like a
  # header's class doing so.
  add_compile_options(-Wno-subobject-linkage)
endif()

# Linker: mold, where it is installed, links in a fraction of the time of GNU ld; a build links
# about a hundred programs and libraries.
include(CheckLinkerFlag)
check_linker_flag(CXX -fuse-ld=mold QUILLET_HAVE_MOLD)
if(QUILLET_HAVE_MOLD)
  add_link_options(-fuse-ld=mold)
endif()

# Precompiled headers: GCC parses the Qt widget headers, GoogleTest and the common standard
# headers once per library (and once for all test programs) instead of once per file. Clang
# refuses a header made with other definitions, so only GCC builds use them.
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  set(QUILLET_PRECOMPILE ON)
else()
  set(QUILLET_PRECOMPILE OFF)
endif()

set(QUILLET_PRECOMPILED_STD_HEADERS
  <algorithm> <array> <atomic> <chrono> <condition_variable> <cstdint> <deque> <filesystem>
  <fstream> <functional> <map> <memory> <mutex> <optional> <span> <sstream> <stdexcept> <string>
  <string_view> <thread> <vector>)
set(QUILLET_PRECOMPILED_QT_CORE_HEADERS <QByteArray> <QObject> <QString> <QTimer>)
set(QUILLET_PRECOMPILED_QT_GUI_HEADERS <QImage> <QPainter>)
set(QUILLET_PRECOMPILED_QT_WIDGETS_HEADERS
  <QApplication> <QCheckBox> <QComboBox> <QLabel> <QLineEdit> <QPlainTextEdit> <QPushButton>
  <QRadioButton> <QSpinBox> <QWidget>)
set(QUILLET_PRECOMPILED_HEADERS
  ${QUILLET_PRECOMPILED_QT_CORE_HEADERS} ${QUILLET_PRECOMPILED_QT_GUI_HEADERS}
  ${QUILLET_PRECOMPILED_QT_WIDGETS_HEADERS} ${QUILLET_PRECOMPILED_STD_HEADERS})

# quillet_precompile(<target>): the target's C++ files start from the parsed standard headers
# above, and from Qt's headers of each Qt module the target links itself. Parsing the standard
# headers is most of a short file's compile time; a target pays for its header once (about ten
# seconds with Qt's widgets), so only targets with several files ask for it. Compiled in batches,
# a library is one or two files that parse the headers once each anyway: the header would cost
# more than it saves, and is left out.
function(quillet_precompile target)
  if(NOT QUILLET_PRECOMPILE OR QUILLET_UNITY_BUILD)
    return()
  endif()
  get_target_property(links ${target} LINK_LIBRARIES)
  # Each Qt module brings the ones below it: widgets need gui, gui needs core.
  set(headers ${QUILLET_PRECOMPILED_STD_HEADERS})
  set(modules)
  foreach(module Core Gui Widgets)
    string(TOUPPER ${module} upper)
    list(APPEND modules ${upper})
    if("Qt6::${module}" IN_LIST links)
      set(linked ${modules})
    endif()
  endforeach()
  foreach(module IN LISTS linked)
    list(APPEND headers ${QUILLET_PRECOMPILED_QT_${module}_HEADERS})
  endforeach()
  list(TRANSFORM headers PREPEND "$<$<COMPILE_LANGUAGE:CXX>:")
  list(TRANSFORM headers APPEND ">")
  target_precompile_headers(${target} PRIVATE ${headers})
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
    # Spelt apart from the hardening flags' -U_FORTIFY_SOURCE, which would take it as a repeat and
    # drop it, leaving their -D_FORTIFY_SOURCE=2 in force.
    add_compile_options(-O0 -g1 "SHELL:-U _FORTIFY_SOURCE")
    if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=[^ ]*address")
      add_compile_options(-fno-sanitize=undefined)
    endif()
  endif()
endfunction()
