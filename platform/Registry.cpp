#include "platform/Registry.h"

#include "platform/BuiltinTexts.h"

namespace platform {

namespace {

[[noreturn]] void raiseError(BuiltinText pattern, const std::string& name)
{
    throw ERegistryException(formatBuiltin(pattern, { name }));
}

} // namespace

TRegistry::TRegistry()
    : m_file(registryStorePath())
{
}

std::optional<RegistryPath> TRegistry::resolve(const std::string& key) const
{
    std::string_view rest = key;
    RegistryPath path;
    if (!rest.empty() && rest.front() == '\\') {
        rest.remove_prefix(1);
        path = { std::string(localMachineRoot) };
    } else {
        path = m_current.value_or(RegistryPath { std::string(localMachineRoot) });
    }
    if (rest.size() > 1 && rest.back() == '\\')
        rest.remove_suffix(1);
    while (!rest.empty()) {
        const std::size_t end = rest.find('\\');
        path.emplace_back(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        // A separator just consumed with nothing after it was a doubled or trailing one.
        if (end != std::string_view::npos && rest.empty())
            return std::nullopt;
    }
    if (!isValidRegistryPath(path))
        return std::nullopt;
    return path;
}

bool TRegistry::ensureKey(const RegistryPath& path) const
{
    if (m_file.load()->findKey(path))
        return true;
    return m_file.update([&](RegistryTree& tree) {
        tree.createKey(path);
        return true;
    });
}

bool TRegistry::openKey(const std::string& key, bool canCreate)
{
    const auto path = resolve(key);
    const bool found
        = path && (canCreate ? ensureKey(*path) : m_file.load()->findKey(*path) != nullptr);
    if (found)
        m_current = path;
    return found;
}

bool TRegistry::keyExists(const std::string& key) const
{
    const auto path = resolve(key);
    return path && m_file.load()->findKey(*path) != nullptr;
}

void TRegistry::createKey(const std::string& key)
{
    const auto path = resolve(key);
    if (!path || !ensureKey(*path))
        raiseError(BuiltinText::RegistryCreateKeyFailed, key);
}

void TRegistry::closeKey()
{
    m_current.reset();
}

std::string TRegistry::currentPath() const
{
    std::string text;
    if (m_current) {
        for (std::size_t i = 1; i < m_current->size(); ++i)
            text += (i > 1 ? "\\" : "") + (*m_current)[i];
    }
    return text;
}

const RegistryValue* TRegistry::findValue(const RegistryTree& tree, const std::string& name) const
{
    const RegistryKey* key = m_current ? tree.findKey(*m_current) : nullptr;
    return key ? key->value(name) : nullptr;
}

bool TRegistry::valueExists(const std::string& name) const
{
    return findValue(*m_file.load(), name) != nullptr;
}

std::string TRegistry::readString(const std::string& name) const
{
    const auto tree = m_file.load();
    const RegistryValue* value = findValue(*tree, name);
    if (!value)
        return {};
    if (value->kind != RegistryValue::Kind::String)
        raiseError(BuiltinText::RegistryInvalidDataType, name);
    return value->text;
}

std::int32_t TRegistry::readInteger(const std::string& name) const
{
    const auto tree = m_file.load();
    const RegistryValue* value = findValue(*tree, name);
    if (!value)
        raiseError(BuiltinText::RegistryGetDataFailed, name);
    if (value->kind != RegistryValue::Kind::DWord)
        raiseError(BuiltinText::RegistryInvalidDataType, name);
    return static_cast<std::int32_t>(value->number);
}

void TRegistry::setValue(const std::string& name, RegistryValue value)
{
    // A key deleted by someone else since it was opened is not brought back.
    const auto set = [&](RegistryTree& tree) {
        RegistryKey* key = tree.findKey(*m_current);
        if (key)
            key->setValue(name, value);
        return key != nullptr;
    };
    if (!m_current || name.size() > maxValueNameLength || !m_file.update(set))
        raiseError(BuiltinText::RegistrySetDataFailed, name);
}

void TRegistry::writeString(const std::string& name, const std::string& text)
{
    setValue(name, RegistryValue::ofText(text));
}

void TRegistry::writeInteger(const std::string& name, std::int32_t value)
{
    setValue(name, RegistryValue::ofNumber(static_cast<std::uint32_t>(value)));
}

} // namespace platform
