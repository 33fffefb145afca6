#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace emulator {

// Names what a full receive buffer lost. It sees every byte that came, kept or lost, split into
// lines at line feeds: a line that lost any byte and starts with a number of four or more digits
// and a space ("0042 ...", as a dropped-byte test numbers its lines) is named by its number;
// the lost bytes are counted in any case.
class LostLines {
public:
    void kept(std::string_view bytes) { take(bytes, false); }
    void lost(std::string_view bytes) { take(bytes, true); }
    // "lost 812 bytes: lines 0041-0047, 0052", or "lost 12 bytes" when no numbered line lost
    // any; empty when nothing was lost since the last report. A line that lost bytes and has not
    // ended yet waits for its end, unless `ended` says the stream has.
    std::string report(bool ended = false);

private:
    void take(std::string_view bytes, bool lost);
    void endLine();

    std::string m_start; // the first bytes of the line so far, enough for its number
    bool m_lineLost = false;
    std::size_t m_lostBytes = 0;
    std::vector<long> m_numbers;
};

} // namespace emulator
