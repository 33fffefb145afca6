#pragma once
// The exit codes of quillet-send, for scripts.

namespace cli {

enum ExitCode : int {
    exitDone = 0, // done; for status: the printer is ready
    exitUsage = 1, // the command line cannot be run
    exitFailure = 2, // the connection or the I/O failed
    exitPrinterFault = 3, // the printer answered with a fault
    exitNoAnswer = 4, // a status query got no usable answer
};

} // namespace cli
