#include "credits/Scramble.h"

#include "platform/IntegerText.h"
#include "platform/MessageBoxes.h"

#include <cstdint>

namespace credits {

namespace {

std::uint8_t passValue(char keyByte)
{
    return static_cast<std::uint8_t>(static_cast<unsigned char>(keyByte) + 174);
}

// The pair at index as the runtime reads a "$" hex literal, so a bad pair raises the usual
// conversion error with its text.
std::uint8_t pairValue(std::string_view hexText, std::size_t index)
{
    return static_cast<std::uint8_t>(
        platform::strToInt("$" + std::string(hexText.substr(index, 2))));
}

void appendHex(std::string& out, std::uint8_t byte)
{
    constexpr char digits[] = "0123456789ABCDEF";
    out += digits[byte >> 4];
    out += digits[byte & 0x0F];
}

} // namespace

std::optional<std::string> unscrambleText(std::string_view hexText, std::string_view key)
{
    if (hexText.size() % 2 != 0) {
        platform::showMessage("error 110!!");
        return std::nullopt;
    }
    // Every pass XORs each byte with the same value, so the passes fold into one mask.
    std::uint8_t mask = 0;
    for (const char keyByte : key)
        mask ^= passValue(keyByte);
    std::string plain;
    plain.reserve(hexText.size() / 2);
    for (std::size_t i = 0; i < hexText.size(); i += 2)
        plain += static_cast<char>(pairValue(hexText, i) ^ mask);
    return plain;
}

std::string scrambleText(std::string_view plain, std::string_view key)
{
    std::string current;
    for (const char c : plain)
        appendHex(current, static_cast<std::uint8_t>(c));
    for (std::size_t r = key.size(); r > 0; --r) {
        std::string next;
        next.reserve(current.size());
        for (std::size_t i = 0; i < current.size(); i += 2)
            appendHex(next, passValue(key[r - 1]) ^ pairValue(current, i));
        current = std::move(next);
    }
    return current;
}

std::string plainText(const ScrambledText& text)
{
    return unscrambleText(text.hex, text.key).value_or(std::string());
}

} // namespace credits
