#pragma once
// The results of a fleet check in the Prometheus text exposition format, for node_exporter's
// textfile collector: whether each printer answered, each condition it reported, and how long
// its check took, labelled with the target as its line names it.

#include "cli/FleetCheck.h"

#include <string>
#include <vector>

namespace cli {

// quillet_printer_up{target} (1 when the printer answered its status questions),
// quillet_printer_condition{target,condition} (1 or 0 for each condition an answer told;
// "paper_end", "cover_open"...) and quillet_printer_check_seconds{target}.
std::string prometheusText(const std::vector<FleetResult>& results);

// Replaces the file with the text at once (a temporary file beside it, renamed over it), so the
// collector never reads half of it. 0 or the errno.
int writePrometheusFile(const std::string& path, const std::string& text);

} // namespace cli
