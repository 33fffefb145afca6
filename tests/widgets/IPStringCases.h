#pragma once
// Dotted texts and the address each gives under the token rules, shared by the parser's tests
// and the editor's IPString tests so both judge the same table.

#include <utility>

namespace iptest {

inline constexpr std::pair<const char*, const char*> tokenRuleCases[] = {
    { "11.0.0.1", "11.0.0.1" },
    { "192.168.123.100", "192.168.123.100" },
    { "1.2.3.4.5", "1.2.3.4" },
    { "1..3.4", "1.255.3.4" },
    { "a.b.c.d", "255.255.255.255" },
    { "1.2.3.256", "1.2.3.255" },
    { "1.2.3.4 ", "1.2.3.255" },
    { " 7.1.1.1", "7.1.1.1" },
    { "$B.0.0.1", "11.0.0.1" },
};

} // namespace iptest
