# CPortCtl: the serial port list and the port-bound selector (TComSelect, TComComboBox).
