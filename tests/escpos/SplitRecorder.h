#pragma once
// Collects what a command splitter yields, joining text pieces that chunking cut apart, so
// streams fed in different chunks can be compared.

#include "escpos/CommandSplitter.h"

#include <string>
#include <vector>

struct SplitPiece {
    escpos::CommandKind kind;
    std::string bytes;
    std::string description;
    std::uint64_t missing;
    bool operator==(const SplitPiece&) const = default;
};

class SplitRecorder {
public:
    escpos::CommandSplitter::Sink sink()
    {
        return [this](const escpos::Command& command) {
            if (command.kind == escpos::CommandKind::Text && !pieces.empty()
                && pieces.back().kind == escpos::CommandKind::Text) {
                pieces.back().bytes += command.bytes;
                pieces.back().description = "text";
                return;
            }
            pieces.push_back({ command.kind, std::string(command.bytes),
                command.kind == escpos::CommandKind::Text ? "text"
                                                          : escpos::describeCommand(command),
                command.missing });
        };
    }
    std::vector<SplitPiece> pieces;
};

// Splits `stream` fed in pieces of `chunk` bytes (0: all at once), then finishes.
inline std::vector<SplitPiece> splitInChunks(std::string_view stream, std::size_t chunk = 0)
{
    SplitRecorder recorder;
    escpos::CommandSplitter splitter(recorder.sink());
    if (chunk == 0)
        chunk = stream.size() + 1;
    for (std::size_t at = 0; at < stream.size(); at += chunk)
        splitter.feed(stream.substr(at, chunk));
    splitter.finish();
    return recorder.pieces;
}
