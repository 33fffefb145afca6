#pragma once
// Saving the transcript: as text (one line per row) or as the raw bytes that were sent.

#include "diagnostics/Transcript.h"

#include <string>

namespace diagnostics {

// Each raises platform::Exception naming the file when it cannot be written completely.
void saveTranscriptText(const Transcript& transcript, const std::string& path);
void saveSentBytes(const Transcript& transcript, const std::string& path);

} // namespace diagnostics
