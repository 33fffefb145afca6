#include "credits/CreditTexts.h"

namespace credits::texts {

using namespace std::literals;

// Lengths are those of the plain text and of the key.
// startupCaption: 22 chars, 6 key bytes
constexpr ScrambledText startupCaption { "15312D282821306414362D2A30213664102137302136"sv,
    "\xF7"
    "\x51"
    "\xE6"
    "\x63"
    "\xB8"
    "\x4F"sv };
// secondCaption: 29 chars, 6 key bytes
constexpr ScrambledText secondCaption {
    "B99D8184848D9CC8BA8D8B8D81989CC8B89A81869C8D9AC8AB808D8B83"sv,
    "\x34"
    "\x17"
    "\x7D"
    "\xCF"
    "\xAF"
    "\x16"sv
};
// markerKeyA: 10 chars, 3 key bytes
constexpr ScrambledText markerKeyA { "4A45595042415744534A"sv,
    "\x96"
    "\x37"
    "\x09"sv };
// markerSubKeyB: 6 chars, 3 key bytes
constexpr ScrambledText markerSubKeyB { "D2EFE7F8F1E9"sv,
    "\x99"
    "\x35"
    "\x8B"sv };
// markerKeyC: 16 chars, 3 key bytes
constexpr ScrambledText markerKeyC { "78776B627073657661786B565E414850"sv,
    "\x17"
    "\x96"
    "\xF7"sv };
// creditLine1: 20 chars, 9 key bytes
constexpr ScrambledText creditLine1 { "D9B2D8D1C3C1C3C5D1BE838B949D85D1BD909382"sv,
    "\xA3"
    "\x23"
    "\xFF"
    "\xDD"
    "\xD7"
    "\x3A"
    "\xA6"
    "\x81"
    "\x93"sv };
// creditLine2: 33 chars, 6 key bytes
constexpr ScrambledText creditLine2 {
    "C9FEF8FEF2EBEFBBEBE9F2F5EFFEE9BBEFFEE8EFBBEEEFF2F7F2EFE2BBEDAAB5AB"sv,
    "\xAB"
    "\x57"
    "\xA0"
    "\x7B"
    "\xD1"
    "\x31"sv
};
// creditLine3: 25 chars, 5 key bytes
constexpr ScrambledText creditLine3 { "B8879D879AD4CE999999C0819C948B829AC08B968F839E828B"sv,
    "\xA2"
    "\x14"
    "\x86"
    "\x61"
    "\x99"sv };
// triggerPhrase1: 18 chars, 10 key bytes
constexpr ScrambledText triggerPhrase1 { "ACB7B0A8FFB2BAFFABB7BAFFB2BEB4BAADAC"sv,
    "\xAE"
    "\xA5"
    "\x88"
    "\xA6"
    "\xC1"
    "\x38"
    "\x35"
    "\x41"
    "\x1E"
    "\x4D"sv };
// triggerPhrase2: 18 chars, 3 key bytes
constexpr ScrambledText triggerPhrase2 { "FFC0C788CADDC1C4DC88F9DDC1C4C4CDDC97"sv,
    "\xBC"
    "\x04"
    "\xC2"sv };
// triggerPhrase3: 16 chars, 2 key bytes
constexpr ScrambledText triggerPhrase3 { "EECAD6D3D3DACB9FDCCDDADBD6CBCC9E"sv,
    "\xA2"
    "\x41"sv };
// triggerPhrase4: 34 chars, 2 key bytes
constexpr ScrambledText triggerPhrase4 {
    "013C342B223A6E022F2C3D6E3C2B2D2B273E3A6E3E3C27203A2B3C6E3A2B3D3A2B3C"sv,
    "\xF7"
    "\x3D"sv
};
// testedKeyD: 6 chars, 5 key bytes
constexpr ScrambledText testedKeyD { "A19C948B829A"sv,
    "\x89"
    "\xC9"
    "\x93"
    "\x8A"
    "\x29"sv };
// createdKeyE: 6 chars, 5 key bytes
constexpr ScrambledText createdKeyE { "A598908F869E"sv,
    "\x04"
    "\x2E"
    "\x1F"
    "\x8E"
    "\xC7"sv };
// valueKeyF: 16 chars, 5 key bytes
constexpr ScrambledText valueKeyF { "717E626B797A6C7F6871625F57484159"sv,
    "\x76"
    "\xD0"
    "\xF7"
    "\xE5"
    "\x93"sv };
// valueName1: 9 chars, 3 key bytes
constexpr ScrambledText valueName1 { "E2CED1D8D3C8C6C9D5"sv,
    "\x8D"
    "\x14"
    "\xAA"sv };
// valueData1: 20 chars, 3 key bytes
constexpr ScrambledText valueData1 { "9AF19B928082808692FDC0C8D7DEC692FED3D0C1"sv,
    "\x85"
    "\xF4"
    "\x75"sv };
// valueName2: 12 chars, 6 key bytes
constexpr ScrambledText valueName2 { "6644595144575B625F425A53"sv,
    "\xDC"
    "\x44"
    "\x38"
    "\xBD"
    "\x8C"
    "\x4B"sv };
// valueData2: 34 chars, 7 key bytes
constexpr ScrambledText valueData2 {
    "6A4E5257575E4F1B495E585E524B4F1B4B4952554F5E491B4F5E484F1B484E524F5E"sv,
    "\x4A"
    "\xE9"
    "\xDD"
    "\xA8"
    "\x8F"
    "\xE4"
    "\x78"sv
};
// valueName3: 20 chars, 5 key bytes
constexpr ScrambledText valueName3 { "4C606F746760627574736473496E6C6451606664"sv,
    "\x4D"
    "\xC2"
    "\xD4"
    "\x85"
    "\x8D"sv };
// valueData3: 33 chars, 6 key bytes
constexpr ScrambledText valueData3 {
    "CCD0D0D4D79E8B8BD3D3D38ACBD6DEC1C8D08AC1DCC5C9D4C8C18BC5C6CBD1D08B"sv,
    "\xB6"
    "\x62"
    "\xF9"
    "\x98"
    "\xBB"
    "\xAA"sv
};
// copyrightLine: 20 chars, 6 key bytes
constexpr ScrambledText copyrightLine { "9FF49E978587858397F8C5CDD2DBC397FBD6D5C4"sv,
    "\x50"
    "\x2A"
    "\x64"
    "\xC1"
    "\x8E"
    "\x22"sv };
// webAddressText: 26 chars, 6 key bytes
constexpr ScrambledText webAddressText { "2E323236357C69693131316829343C232A3268233E272B362A23"sv,
    "\xF9"
    "\xCA"
    "\x84"
    "\x9F"
    "\xE2"
    "\xC8"sv };
// webAddress: 26 chars, 6 key bytes
constexpr ScrambledText webAddress { "869A9A9E9DD4C1C1999999C0819C948B829AC08B968F839E828B"sv,
    "\x44"
    "\xB0"
    "\x88"
    "\xD1"
    "\x4F"
    "\x48"sv };

} // namespace credits::texts
