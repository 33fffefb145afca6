#include "platform/IniFile.h"

#include "platform/AtomicFile.h"
#include "platform/Format.h"
#include "platform/IntegerText.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace platform {

TIniFile::TIniFile(std::string path)
    : m_path(std::move(path))
{
}

IniDocument TIniFile::load() const
{
    if (m_pending)
        return *m_pending;
    std::string bytes;
    const int error = readWholeFile(m_path, bytes);
    if (error == ENOENT || error == ENOTDIR)
        return IniDocument();
    if (error != 0) {
        throw EIniFileError(formatMessage("Settings file '%s' cannot be read: %s",
                                { m_path, std::strerror(error) }),
            m_path);
    }
    return IniDocument::parse(bytes);
}

void TIniFile::raiseUnwritable(int error) const
{
    throw EIniFileError(
        formatMessage("Settings file '%s' cannot be written: %s", { m_path, std::strerror(error) }),
        m_path);
}

void TIniFile::commit(const std::vector<Write>& writes) const
{
    const std::filesystem::path target = replacedFile(m_path);
    const WriterLock lock(
        target.has_parent_path() ? target.parent_path().string() : ".", WriterLock::Kind::Folder);
    if (lock.error())
        raiseUnwritable(lock.error());
    IniDocument document = load();
    for (const Write& write : writes)
        document.setValue(write.section, write.key, write.value);
    if (const int error = replaceWholeFile(m_path, document.text()))
        raiseUnwritable(error);
}

std::string TIniFile::readString(
    const std::string& section, const std::string& key, const std::string& fallback) const
{
    return load().value(section, key).value_or(fallback);
}

std::int32_t TIniFile::readInteger(
    const std::string& section, const std::string& key, std::int32_t fallback) const
{
    const auto text = load().value(section, key);
    if (!text)
        return fallback;
    return parseInteger(*text).value_or(fallback);
}

void TIniFile::writeString(
    const std::string& section, const std::string& key, const std::string& value)
{
    if (const std::string problem = iniWriteProblem(section, key, value); !problem.empty()) {
        throw EIniFileError(
            formatMessage("Cannot write key '%s' of section '%s' to settings file '%s': %s",
                { key, section, m_path, problem }),
            m_path);
    }
    if (m_pending) {
        m_pending->setValue(section, key, value);
        m_pendingWrites.push_back({ section, key, value });
    } else {
        commit({ { section, key, value } });
    }
}

void TIniFile::writeInteger(const std::string& section, const std::string& key, std::int32_t value)
{
    writeString(section, key, std::to_string(value));
}

void TIniFile::updateAtOnce(const std::function<void()>& writes)
{
    if (m_pending) {
        writes();
        return;
    }
    m_pending = load();
    m_pendingWrites.clear();
    std::vector<Write> collected;
    try {
        writes();
        collected = std::move(m_pendingWrites);
    } catch (...) {
        m_pending.reset();
        m_pendingWrites.clear();
        throw;
    }
    m_pending.reset();
    m_pendingWrites.clear();
    // Nothing written, nothing to replace: a store of no keys must not create the file.
    if (!collected.empty())
        commit(collected);
}

} // namespace platform
