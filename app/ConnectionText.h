#pragma once
// The status bar's connection text for each connection choice.

#include <QString>

namespace app {

// COM, LPT and ETHERNET are the visible choices; DRIVER and File are hidden ones.
enum class ConnectionChoice { Com, Lpt, Ethernet, Driver, File };

// The window's settings that the texts are made of, as the controls show them now.
struct ConnectionSettings {
    QString comPort; // selected text of the port selector
    QString baudRate; // selected text of the baud-rate selector
    QString lptItem; // selected parallel-port item; empty when none is selected
    QString ipString; // the IP editor's dotted address
    QString driverItem; // selected printer-driver item
    QString fileName; // the file name box
};

// "COM1:19200,N,8,1,Hardware", "LPT1:", "ETHERNET:192.168.123.100:9100", "Driver X",
// "File abc.bin". The serial line format and the port 9100 are fixed text.
QString connectionText(ConnectionChoice choice, const ConnectionSettings& settings);

} // namespace app
