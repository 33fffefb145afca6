#pragma once

#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace escpos {

// A JSON value, enough for printer profiles: objects keep their members in the order written
// (a profile's code tables are listed in order of preference).
struct JsonMember;
struct JsonValue {
    using Array = std::vector<JsonValue>;
    // A struct, not std::pair: a pair of a type still being defined is refused by clang.
    using Object = std::vector<JsonMember>;
    std::variant<std::nullptr_t, bool, double, std::string, Array, Object> value;

    bool isObject() const { return std::holds_alternative<Object>(value); }
    const Object* object() const { return std::get_if<Object>(&value); }
    const std::string* string() const { return std::get_if<std::string>(&value); }
    const double* number() const { return std::get_if<double>(&value); }
    const bool* flag() const { return std::get_if<bool>(&value); }
    // The member `name` of an object, nullptr when there is none or this is no object.
    const JsonValue* member(std::string_view name) const;
};

// An object's member: its name and its value.
struct JsonMember {
    std::string first;
    JsonValue second;
};

// Text that is no JSON: what is wrong and where (line and column, from 1).
class JsonError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Parses a whole JSON text (RFC 8259). Raises JsonError.
JsonValue parseJson(std::string_view text);

// A JSON string, always valid UTF-8: well-formed UTF-8 passes as it is, control characters
// are escaped (\u00XX), and each byte that is no UTF-8 (a printer's ID text in another
// character set) becomes U+FFFD.
std::string jsonString(std::string_view bytes);

// The value as JSON text, indented by two spaces a level, ending in a line break.
std::string writeJson(const JsonValue& value);

} // namespace escpos
