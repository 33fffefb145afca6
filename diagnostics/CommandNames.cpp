#include "diagnostics/CommandNames.h"

#include "escpos/CommandSplitter.h"

namespace diagnostics {

std::vector<NamedPiece> nameCommands(std::string_view bytes)
{
    struct Start {
        std::size_t offset;
        std::string name;
    };
    std::vector<Start> starts;
    std::size_t end = 0;
    escpos::CommandSplitter splitter([&](const escpos::Command& command) {
        // Where the command lies in the stream: its bytes point into it, except for a command
        // the splitter had to gather, which follows the one before it.
        const auto* data = command.bytes.data();
        const bool inside = data >= bytes.data() && data < bytes.data() + bytes.size();
        const std::size_t offset = inside ? static_cast<std::size_t>(data - bytes.data()) : end;
        end = offset + command.bytes.size();
        starts.push_back({ offset,
            command.kind == escpos::CommandKind::Text ? "text"
                                                      : escpos::describeCommand(command) });
    });
    splitter.feed(bytes);
    splitter.finish();

    std::vector<NamedPiece> pieces;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        const std::size_t next = i + 1 < starts.size() ? starts[i + 1].offset : bytes.size();
        if (next > starts[i].offset)
            pieces.push_back({ next - starts[i].offset, std::move(starts[i].name) });
    }
    return pieces;
}

} // namespace diagnostics
