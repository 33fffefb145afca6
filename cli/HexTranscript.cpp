#include "cli/HexTranscript.h"

#include "diagnostics/CommandNames.h"

namespace cli {

HexTranscript::HexTranscript(std::ostream& out)
    : m_transcript(diagnostics::nameCommands)
    , m_out(out)
{
}

void HexTranscript::record(
    printer::Direction direction, std::string_view bytes, std::string_view note)
{
    const std::size_t first = m_transcript.rowCount();
    m_transcript.append(direction, bytes, note);
    for (std::size_t i = first; i < m_transcript.rowCount(); ++i)
        m_out << diagnostics::Transcript::rowText(m_transcript.row(i)) << '\n';
    m_out.flush();
}

printer::TrafficObserver HexTranscript::observer()
{
    return [this](printer::Direction direction, std::string_view bytes, std::string_view note) {
        record(direction, bytes, note);
    };
}

} // namespace cli
