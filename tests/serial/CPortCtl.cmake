# Tests of the serial port list and the port-bound selector.
