#include "cli/CommandNaming.h"

#include "escpos/CommandSplitter.h"

#include <algorithm>

namespace cli {

std::vector<diagnostics::NamedPiece> nameCommands(std::string_view bytes)
{
    std::vector<diagnostics::NamedPiece> pieces;
    std::size_t covered = 0;
    escpos::CommandSplitter splitter([&](const escpos::Command& command) {
        // An oversized command arrives as its header; the data it skipped belong to it too.
        std::uint64_t length = command.bytes.size();
        if (command.kind == escpos::CommandKind::Oversized)
            length += command.missing;
        length = std::min<std::uint64_t>(length, bytes.size() - covered);
        covered += static_cast<std::size_t>(length);
        pieces.push_back({ static_cast<std::size_t>(length),
            command.kind == escpos::CommandKind::Text ? std::string()
                                                      : escpos::describeCommand(command) });
    });
    splitter.feed(bytes);
    splitter.finish();
    return pieces;
}

} // namespace cli
