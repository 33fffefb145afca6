#include "emulator/PrintModes.h"

namespace emulator {

std::string styleWords(const TextStyle& style, Alignment alignment)
{
    std::string words = style.fontB ? "font B" : "font A";
    const auto add = [&words](bool on, const std::string& word) {
        if (on)
            words += ", " + word;
    };
    add(style.emphasized, "emphasized");
    add(style.doubleStrike, "double-strike");
    add(style.underline > 0, "underline " + std::to_string(style.underline));
    add(style.width > 1, "width x" + std::to_string(style.width));
    add(style.height > 1, "height x" + std::to_string(style.height));
    add(style.reverse, "reverse");
    add(style.upsideDown, "upside-down");
    add(style.rotated, "rotated 90");
    add(style.red, "red");
    static constexpr const char* kAlignments[] = { "left", "center", "right" };
    return words + ", " + kAlignments[static_cast<int>(alignment)];
}

void appendUtf8(std::string& text, char32_t c)
{
    if (c < 0x80) {
        text += static_cast<char>(c);
    } else if (c < 0x800) {
        text += static_cast<char>(0xC0 | c >> 6);
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        text += static_cast<char>(0xE0 | c >> 12);
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | c >> 18);
        text += static_cast<char>(0x80 | (c >> 12 & 0x3F));
        text += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace emulator
