#pragma once
// One place in a settings store that holds named text and integer values: a section of a
// settings file or the open key of the registry. Code that saves and restores settings goes
// through this interface so that it has one path for both stores.

#include <cstdint>
#include <string>

namespace platform {

class TIniFile;
class TRegistry;

class TSettingsStore {
public:
    virtual ~TSettingsStore() = default;

    // The text stored under name. When it is missing, a settings file answers fallback; the
    // registry answers empty text.
    virtual std::string readString(const std::string& name, const std::string& fallback) const = 0;
    // The integer stored under name. When it is missing, a settings file answers fallback; the
    // registry raises its read error ("Failed to get data for '<name>'").
    virtual std::int32_t readInteger(const std::string& name, std::int32_t fallback) const = 0;
    virtual void writeString(const std::string& name, const std::string& text) = 0;
    virtual void writeInteger(const std::string& name, std::int32_t value) = 0;
};

// A section of a settings file.
class TIniSectionStore : public TSettingsStore {
public:
    TIniSectionStore(TIniFile& file, std::string section);

    std::string readString(const std::string& name, const std::string& fallback) const override;
    std::int32_t readInteger(const std::string& name, std::int32_t fallback) const override;
    void writeString(const std::string& name, const std::string& text) override;
    void writeInteger(const std::string& name, std::int32_t value) override;

private:
    TIniFile& m_file;
    std::string m_section;
};

// The key the registry object has open (fallbacks play no part: see TSettingsStore).
class TRegistryKeyStore : public TSettingsStore {
public:
    explicit TRegistryKeyStore(TRegistry& registry);

    std::string readString(const std::string& name, const std::string& fallback) const override;
    std::int32_t readInteger(const std::string& name, std::int32_t fallback) const override;
    void writeString(const std::string& name, const std::string& text) override;
    void writeInteger(const std::string& name, std::int32_t value) override;

private:
    TRegistry& m_registry;
};

} // namespace platform
