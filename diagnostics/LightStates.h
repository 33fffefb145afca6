#pragma once
// What each light of the printer pane shows, worked out without widgets: a colour and words.
// Grey is "unknown" (not asked yet, no answer, not a status byte, not available); a state is
// never guessed.

#include "printer/PrinterQueries.h"
#include "serial/core/ComTypes.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace diagnostics {

enum class Lamp { Grey, Green, Red };

struct LightState {
    // Names the light's widget: "light-" + key. Always a text with static storage (a literal
    // or a key of the status table).
    std::string_view key;
    Lamp lamp = Lamp::Grey;
    std::string words;
    friend bool operator==(const LightState&, const LightState&) = default;
};

// The status lights before any question: every one grey.
std::vector<LightState> unaskedStatusLights();
// Online, cover open, feed button, paper near end, paper end, drawer kick pin 3, cutter error,
// unrecoverable error, auto-recoverable error, and the model from the printer ID.
std::vector<LightState> statusLights(const printer::PrinterReport& report);
// The lights of the latest round; a light it did not ask about shows the earlier round's
// reading in grey, "as of" the earlier round's time ("cover open: yes (as of 13:45:07)").
std::vector<LightState> statusLights(const printer::PrinterReport& latest,
    const printer::PrinterReport& earlier, const std::string& asOf);
// The driver's view of a parallel or USB printer: paper out, selected, error, and the device
// ID; "not available" for what the driver does not answer.
std::vector<LightState> kernelLights(const printer::LptKernelView& view);

// The output lines: their levels (nullopt: the device has no modem lines to read them from)
// and what drives them.
struct OutputLines {
    std::optional<bool> dtrOn;
    std::optional<bool> rtsOn;
    cport::TDTRFlowControl dtr = cport::dtrDisable;
    cport::TRTSFlowControl rts = cport::rtsDisable;
};
// CTS, DSR, DCD and RI from the port (nullopt: the device has no modem lines), DTR and RTS at
// their levels ("DTR: on", "DTR: off", or "DTR: unknown"), with the flow control that drives
// them ("RTS: on (handshake)").
std::vector<LightState> lineLights(std::optional<cport::TLineSignals> inputs, OutputLines outputs);
// The six line lights while no port is held open: grey, "port closed", or "port closed
// (device gone)" after the device hung up.
std::vector<LightState> closedPortLineLights(bool deviceGone = false);

} // namespace diagnostics
