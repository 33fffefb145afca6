#pragma once
// TIniFile: a settings file of "key=value" lines in "[section]"s (see IniDocument.h for how
// the lines are read and kept). Every read takes the file as it is now; every write replaces
// it at once, atomically, keeping comments and everything it does not know. Writers lock the
// file's folder and apply their changes to the file as they find it under that lock, so
// writers in other processes lose nothing. A missing file reads as empty and is created by the
// first write (its folder must exist).

#include "platform/Exception.h"
#include "platform/IniDocument.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// A settings file could not be read or written, or cannot hold a name or value as given.
class EIniFileError : public Exception {
public:
    EIniFileError(std::string message, std::string path)
        : Exception(std::move(message))
        , m_path(std::move(path))
    {
    }
    const std::string& path() const noexcept { return m_path; }
    const char* className() const noexcept override { return "EIniFileError"; }

private:
    std::string m_path;
};

class TIniFile {
public:
    explicit TIniFile(std::string path);

    const std::string& fileName() const { return m_path; }

    // The value, byte for byte, or fallback when the file, section or key is missing.
    std::string readString(
        const std::string& section, const std::string& key, const std::string& fallback) const;
    // The value read as an integer (decimal, or hex with "$" or "0x"), or fallback when it is
    // missing or not an integer.
    std::int32_t readInteger(
        const std::string& section, const std::string& key, std::int32_t fallback) const;
    // Raise EIniFileError when the name or value cannot be written so that it reads back the
    // same, and when the file cannot be read or replaced; the file is then unchanged.
    void writeString(const std::string& section, const std::string& key, const std::string& value);
    void writeInteger(const std::string& section, const std::string& key, std::int32_t value);

    // Runs writes, collecting the changes they make, and then replaces the file once with all
    // of them. When writes raises, nothing is written and the error passes on. Reads inside
    // see the collected changes. Calls may nest; the outermost one writes.
    void updateAtOnce(const std::function<void()>& writes);

private:
    struct Write {
        std::string section, key, value;
    };

    IniDocument load() const;
    // Under the writer lock: the file as it is now, with the writes applied, replaces it.
    void commit(const std::vector<Write>& writes) const;
    [[noreturn]] void raiseUnwritable(int error) const;

    std::string m_path;
    std::optional<IniDocument> m_pending; // what reads inside updateAtOnce see
    std::vector<Write> m_pendingWrites; // the writes updateAtOnce collected
};

} // namespace platform
