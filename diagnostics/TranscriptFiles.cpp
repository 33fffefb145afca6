#include "diagnostics/TranscriptFiles.h"

#include "platform/Exception.h"

#include <fstream>

namespace diagnostics {

namespace {

template <typename Write> void saveTo(const std::string& path, Write write)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out)
        write(out);
    if (out)
        out.close();
    if (!out)
        throw platform::Exception("Cannot write " + path);
}

} // namespace

void saveTranscriptText(const Transcript& transcript, const std::string& path)
{
    saveTo(path, [&](std::ostream& out) { transcript.writeText(out); });
}

void saveSentBytes(const Transcript& transcript, const std::string& path)
{
    saveTo(path, [&](std::ostream& out) { transcript.writeSentBytes(out); });
}

} // namespace diagnostics
