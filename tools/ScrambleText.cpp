// scramble-text: makes the stored form of a credits text.
//
//   scramble-text KEY TEXT      prints the hex form of TEXT under KEY
//   scramble-text -c KEY TEXT   prints it as a C++ initializer of credits::ScrambledText
//   scramble-text -d KEY HEX    prints the plain text of a stored hex form (to check one)
//
// KEY is written in hex, 2 to 10 bytes. TEXT is taken byte for byte.
#include "credits/Scramble.h"
#include "platform/Exception.h"

#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

namespace {

int usage()
{
    std::cerr << "usage: scramble-text [-c | -d] KEY TEXT\n"
                 "  KEY: the key in hex, 2 to 10 bytes (4 to 20 hex digits)\n"
                 "  -c: print a C++ initializer; -d: TEXT is a stored hex form, print it plain\n";
    return 2;
}

// A C++ string literal of bytes, one "\xHH" piece each so no escape runs into the next.
std::string byteLiteral(const std::string& bytes)
{
    std::string literal;
    for (const char c : bytes) {
        char piece[8];
        std::snprintf(piece, sizeof piece, "\"\\x%02X\"", static_cast<unsigned char>(c));
        literal += (literal.empty() ? "" : " ") + std::string(piece);
    }
    return literal + "sv";
}

} // namespace

int main(int argc, char** argv)
{
    std::string mode;
    int first = 1;
    if (argc == 4 && (std::strcmp(argv[1], "-c") == 0 || std::strcmp(argv[1], "-d") == 0)) {
        mode = argv[1];
        first = 2;
    } else if (argc != 3) {
        return usage();
    }
    const std::string keyHex = argv[first];
    const std::string text = argv[first + 1];
    if (keyHex.size() % 2 != 0 || keyHex.size() < 4 || keyHex.size() > 20
        || (mode == "-d" && text.size() % 2 != 0))
        return usage();
    try {
        // With an empty key the unscrambling is plain hex decoding.
        const std::string key = *credits::unscrambleText(keyHex, "");
        if (mode == "-d") {
            std::cout << *credits::unscrambleText(text, key) << '\n';
            return 0;
        }
        const std::string hex = credits::scrambleText(text, key);
        if (!text.empty() && hex == credits::scrambleText(text, "")) {
            std::cerr << "scramble-text: this key's bytes cancel out and would leave the text "
                         "readable; choose another key\n";
            return 1;
        }
        if (mode == "-c")
            std::cout << "{ \"" << hex << "\"sv, " << byteLiteral(key) << " }\n";
        else
            std::cout << hex << '\n';
    } catch (const platform::Exception& error) {
        std::cerr << "scramble-text: " << error.what() << '\n';
        return 1;
    }
    return 0;
}
