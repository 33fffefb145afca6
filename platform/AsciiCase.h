#pragma once
// Letter case of ASCII letters only (other bytes are never changed), for names that compare
// without regard to case: port names, list entries, settings and store keys, catalog paths.
// Plain byte order otherwise ("COM10" sorts before "COM2").

#include <algorithm>
#include <string>
#include <string_view>

namespace platform {

inline char foldAsciiCase(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// Negative, zero or positive as a sorts before, equal to or after b, ignoring ASCII case.
inline int compareIgnoringCase(std::string_view a, std::string_view b)
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const auto x = static_cast<unsigned char>(foldAsciiCase(a[i]));
        const auto y = static_cast<unsigned char>(foldAsciiCase(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

inline bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && compareIgnoringCase(a, b) == 0;
}

// text with every ASCII capital letter made small.
inline std::string foldedAsciiCase(std::string_view text)
{
    std::string folded(text);
    std::transform(folded.begin(), folded.end(), folded.begin(), foldAsciiCase);
    return folded;
}

} // namespace platform
