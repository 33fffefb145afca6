#pragma once
// TRegistry: named keys and values under HKEY_LOCAL_MACHINE, kept per user in the store file
// (see RegistryFile.h for where it lives and how it is written).
//
// Paths: a key path that begins with a backslash is taken from the root; any other path from
// the key that is open, or from the root when none is. Names are separated by single
// backslashes; one trailing backslash is ignored ("\SOFTWARE\" is "\SOFTWARE"). Letter case
// does not matter in key or value names.
//
// Every operation takes the file as it is now (read again only when it has changed since the
// last read) and every change is written at once, atomically, so objects (and processes)
// sharing the store see each other's changes. A store file that cannot
// be read or parsed makes every operation raise ERegistryFileError; it is never overwritten.

#include "platform/RegistryError.h"
#include "platform/RegistryFile.h"

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

class TRegistry {
public:
    // An accessor rooted at HKEY_LOCAL_MACHINE on the store at registryStorePath() (taken from
    // the environment now); no key is open.
    TRegistry();

    // Makes key the open key and returns true; when it does not exist, creates it first if
    // canCreate, otherwise returns false. False also when the name is invalid or the new key
    // could not be written; the open key then stays as it was.
    bool openKey(const std::string& key, bool canCreate);
    // Whether key exists. Does not change the open key.
    bool keyExists(const std::string& key) const;
    // Creates key (and the keys on the way) if missing. Does not change the open key.
    // Raises ERegistryException "Failed to create key %s" when it cannot.
    void createKey(const std::string& key);
    // No key is open afterwards.
    void closeKey();

    // The open key's path below the root ("SOFTWARE\Maker"); empty for the root itself.
    std::string currentPath() const;
    bool hasCurrentKey() const { return m_current.has_value(); }

    bool valueExists(const std::string& name) const;
    // The text of a string value; empty when the value (or the open key) does not exist.
    // Raises "Invalid data type for '%s'" when the value is a number.
    std::string readString(const std::string& name) const;
    // Raises "Failed to set data for '%s'" when no key is open or the store cannot be written.
    void writeString(const std::string& name, const std::string& text);
    // Raises "Failed to get data for '%s'" when the value does not exist and "Invalid data
    // type for '%s'" when it is a text.
    std::int32_t readInteger(const std::string& name) const;
    // Raises "Failed to set data for '%s'" as writeString does.
    void writeInteger(const std::string& name, std::int32_t value);

private:
    std::optional<RegistryPath> resolve(const std::string& key) const;
    // True when the key exists or could be created.
    bool ensureKey(const RegistryPath& path) const;
    const RegistryValue* findValue(const RegistryTree& tree, const std::string& name) const;
    void setValue(const std::string& name, RegistryValue value);

    RegistryFile m_file;
    std::optional<RegistryPath> m_current;
};

} // namespace platform
