#include "platform/SettingsStore.h"

#include "platform/IniFile.h"
#include "platform/Registry.h"

namespace platform {

TIniSectionStore::TIniSectionStore(TIniFile& file, std::string section)
    : m_file(file)
    , m_section(std::move(section))
{
}

std::string TIniSectionStore::readString(const std::string& name, const std::string& fallback) const
{
    return m_file.readString(m_section, name, fallback);
}

std::int32_t TIniSectionStore::readInteger(const std::string& name, std::int32_t fallback) const
{
    return m_file.readInteger(m_section, name, fallback);
}

void TIniSectionStore::writeString(const std::string& name, const std::string& text)
{
    m_file.writeString(m_section, name, text);
}

void TIniSectionStore::writeInteger(const std::string& name, std::int32_t value)
{
    m_file.writeInteger(m_section, name, value);
}

TRegistryKeyStore::TRegistryKeyStore(TRegistry& registry)
    : m_registry(registry)
{
}

std::string TRegistryKeyStore::readString(const std::string& name, const std::string&) const
{
    return m_registry.readString(name);
}

std::int32_t TRegistryKeyStore::readInteger(const std::string& name, std::int32_t) const
{
    return m_registry.readInteger(name);
}

void TRegistryKeyStore::writeString(const std::string& name, const std::string& text)
{
    m_registry.writeString(name, text);
}

void TRegistryKeyStore::writeInteger(const std::string& name, std::int32_t value)
{
    m_registry.writeInteger(name, value);
}

} // namespace platform
