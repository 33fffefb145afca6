#include "platform/RegistryTree.h"

#include "platform/AsciiCase.h"

#include <utility>

namespace platform {

bool isValidKeyName(std::string_view name)
{
    if (name.empty() || name.size() > maxKeyNameLength)
        return false;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\' || byte < 0x20 || byte == 0x7F)
            return false;
    }
    return true;
}

bool isValidRegistryPath(const RegistryPath& path)
{
    if (path.empty() || path.size() > maxKeyDepth)
        return false;
    for (const std::string& name : path) {
        if (!isValidKeyName(name))
            return false;
    }
    return true;
}

RegistryKey::RegistryKey(std::string name)
    : m_name(std::move(name))
{
}

RegistryKey::RegistryKey(const RegistryKey& other)
    : m_name(other.m_name)
    , m_values(other.m_values)
{
    for (const auto& [folded, key] : other.m_subKeys)
        m_subKeys.emplace(folded, std::make_unique<RegistryKey>(*key));
}

RegistryKey& RegistryKey::operator=(const RegistryKey& other)
{
    if (this != &other)
        *this = RegistryKey(other);
    return *this;
}

bool RegistryKey::operator==(const RegistryKey& other) const
{
    if (m_name != other.m_name || m_values != other.m_values
        || m_subKeys.size() != other.m_subKeys.size())
        return false;
    auto mine = m_subKeys.begin();
    for (auto theirs = other.m_subKeys.begin(); theirs != other.m_subKeys.end(); ++theirs, ++mine) {
        if (mine->first != theirs->first || !(*mine->second == *theirs->second))
            return false;
    }
    return true;
}

const RegistryKey* RegistryKey::subKey(std::string_view name) const
{
    const auto found = m_subKeys.find(foldedAsciiCase(name));
    return found == m_subKeys.end() ? nullptr : found->second.get();
}

RegistryKey& RegistryKey::ensureSubKey(std::string_view name)
{
    auto& slot = m_subKeys[foldedAsciiCase(name)];
    if (!slot)
        slot = std::make_unique<RegistryKey>(std::string(name));
    return *slot;
}

const RegistryValue* RegistryKey::value(std::string_view name) const
{
    const auto found = m_values.find(foldedAsciiCase(name));
    return found == m_values.end() ? nullptr : &found->second.value;
}

void RegistryKey::setValue(std::string_view name, RegistryValue value)
{
    const auto entry
        = m_values.try_emplace(foldedAsciiCase(name), NamedValue { std::string(name), {} }).first;
    entry->second.value = std::move(value);
}

RegistryTree::RegistryTree()
{
    m_top.ensureSubKey(localMachineRoot).ensureSubKey("SOFTWARE");
}

const RegistryKey* RegistryTree::findKey(const RegistryPath& path) const
{
    const RegistryKey* key = &m_top;
    for (const std::string& name : path) {
        key = key->subKey(name);
        if (!key)
            return nullptr;
    }
    return key;
}

RegistryKey* RegistryTree::findKey(const RegistryPath& path)
{
    return const_cast<RegistryKey*>(std::as_const(*this).findKey(path));
}

RegistryKey& RegistryTree::createKey(const RegistryPath& path)
{
    RegistryKey* key = &m_top;
    for (const std::string& name : path)
        key = &key->ensureSubKey(name);
    return *key;
}

} // namespace platform
