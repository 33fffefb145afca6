#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace escpos {

struct ProfileFont {
    std::string name; // "Font A"
    int columns = 0; // characters on a line
    friend bool operator==(const ProfileFont&, const ProfileFont&) = default;
};

// What a printer model can do, in the shape of an escpos-printer-db profile entry (the fields
// are listed in the README): read by python-escpos and fit to be contributed there.
struct PrinterProfile {
    std::string vendor; // "EPSON"; the maker's name from GS I 66 when the printer tells it
    std::string model; // "TM-T20II"; from GS I 67
    std::string firmware; // from GS I 65
    std::string notes;
    // Code table number to name, in order of preference: text is encoded in the first that has
    // a character.
    std::vector<std::pair<int, std::string>> codePages;
    std::vector<std::pair<std::string, bool>> features; // "qrCode": true
    int widthMm = 80;
    int widthDots = 576;
    int dpi = 203;
    std::vector<ProfileFont> fonts; // index 0 font A, 1 font B
    friend bool operator==(const PrinterProfile&, const PrinterProfile&) = default;
};

// A profile that cannot be read: every problem found, one a line.
class ProfileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The feature names a profile may hold.
std::vector<std::string_view> profileFeatureNames();

// The profile as JSON text.
std::string profileJson(const PrinterProfile& profile);
// A profile from JSON text; raises ProfileError naming each field that is missing, of the
// wrong kind or not known (and JSON that cannot be parsed).
PrinterProfile readProfile(std::string_view json);

// The fonts of paper `widthDots` wide: font A (12 dots a character) and font B (9 dots).
std::vector<ProfileFont> standardFonts(int widthDots);

} // namespace escpos
