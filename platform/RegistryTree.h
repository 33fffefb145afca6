#pragma once
// The registry store held in memory: a tree of keys, each with named string and 32-bit values.
// Key and value names compare without regard to ASCII letter case and keep the spelling they
// were first given, as the Windows registry does. No file access here: RegistryFormat reads and
// writes the text form, RegistryFile keeps it on disk.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The root this program's store works under; it always holds the standard key "SOFTWARE".
inline constexpr std::string_view localMachineRoot = "HKEY_LOCAL_MACHINE";

// Limits of the Windows registry, kept so that a store stays importable there and so that a
// hostile file cannot nest keys deeply enough to exhaust the stack.
inline constexpr std::size_t maxKeyNameLength = 255;
inline constexpr std::size_t maxValueNameLength = 16383;
inline constexpr std::size_t maxKeyDepth = 512;

// A value: text (a string value) or a 32-bit number (a DWORD value).
struct RegistryValue {
    enum class Kind { String, DWord };
    Kind kind = Kind::String;
    std::string text;
    std::uint32_t number = 0;

    static RegistryValue ofText(std::string text) { return { Kind::String, std::move(text), 0 }; }
    static RegistryValue ofNumber(std::uint32_t number) { return { Kind::DWord, {}, number }; }
    bool operator==(const RegistryValue&) const = default;
};

// Key names are 1 to 255 bytes without a backslash or a control character.
bool isValidKeyName(std::string_view name);

// One key: its name as first spelled, its values and its sub-keys, both ordered by folded name.
class RegistryKey {
public:
    struct NamedValue {
        std::string name;
        RegistryValue value;
        bool operator==(const NamedValue&) const = default;
    };

    explicit RegistryKey(std::string name = {});
    RegistryKey(const RegistryKey& other);
    RegistryKey& operator=(const RegistryKey& other);
    RegistryKey(RegistryKey&&) noexcept = default;
    RegistryKey& operator=(RegistryKey&&) noexcept = default;
    ~RegistryKey() = default;
    bool operator==(const RegistryKey& other) const;

    const std::string& name() const { return m_name; }
    const RegistryKey* subKey(std::string_view name) const;
    // The sub-key of that name, created when missing.
    RegistryKey& ensureSubKey(std::string_view name);
    const std::map<std::string, std::unique_ptr<RegistryKey>>& subKeys() const { return m_subKeys; }

    const RegistryValue* value(std::string_view name) const;
    void setValue(std::string_view name, RegistryValue value);
    const std::map<std::string, NamedValue>& values() const { return m_values; }

private:
    std::string m_name;
    std::map<std::string, std::unique_ptr<RegistryKey>> m_subKeys;
    std::map<std::string, NamedValue> m_values;
};

// A key path from the top of the tree: the root's name first ("HKEY_LOCAL_MACHINE"), then the
// names of the keys below it.
using RegistryPath = std::vector<std::string>;

// The whole store: the roots are the sub-keys of an unnamed top node.
class RegistryTree {
public:
    // An empty store, holding only the standard key HKEY_LOCAL_MACHINE\SOFTWARE.
    RegistryTree();
    bool operator==(const RegistryTree&) const = default;

    const RegistryKey* findKey(const RegistryPath& path) const;
    RegistryKey* findKey(const RegistryPath& path);
    // The key at path, with every missing key on the way created. path must be valid.
    RegistryKey& createKey(const RegistryPath& path);
    const RegistryKey& top() const { return m_top; }

private:
    RegistryKey m_top;
};

// Whether path has 1 to maxKeyDepth valid names.
bool isValidRegistryPath(const RegistryPath& path);

} // namespace platform
