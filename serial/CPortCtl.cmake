# CPortCtl: the serial port list and the port-bound selector (TComSelect, TComComboBox). The
# list and the binding logic need no display; only the combo box is a widget.
add_library(CPortCtl STATIC
  ListSerialPorts.cpp
  ComSelect.cpp
  ComComboBox.cpp
  ComComboBox.h)
set_target_properties(CPortCtl PROPERTIES AUTOMOC ON)
target_include_directories(CPortCtl PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(CPortCtl PUBLIC CPort Qt6::Widgets)
