# Tests of the serial port list and the port-bound selector. The folder's glob may already have
# made a target of each of these sources (linked with the component's test support and gtest's
# main): such a target gets the selector library added, and the widget test the offscreen
# application's main() in place of gtest's.
function(cpportctl_test name)
  cmake_parse_arguments(T "QT" "" "" ${ARGN})
  set(target serial_${name})
  if(NOT TARGET ${target})
    if(T_QT)
      quillet_add_test(${target} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp
        LIBS CPortCtl serial_test_support Qt6::Test QT)
    else()
      quillet_add_test(${target} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp
        LIBS CPortCtl serial_test_support)
    endif()
    return()
  endif()
  target_link_libraries(${target} PRIVATE CPortCtl)
  if(T_QT)
    get_target_property(libraries ${target} LINK_LIBRARIES)
    list(REMOVE_ITEM libraries GTest::gtest_main)
    list(APPEND libraries quillet_qt_test_main Qt6::Test)
    set_property(TARGET ${target} PROPERTY LINK_LIBRARIES ${libraries})
  endif()
endfunction()

cpportctl_test(port_list_test)
cpportctl_test(com_select_test)
cpportctl_test(com_combo_box_test QT)
