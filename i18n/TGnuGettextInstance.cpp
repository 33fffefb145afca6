#include "i18n/TGnuGettextInstance.h"

#include "i18n/SystemLanguage.h"
#include "i18n/TextRules.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#include <algorithm>
#include <cstdlib>
#include <mutex>

namespace gnugettext {

namespace {

constexpr const char* untranslatableMessage = "Error: Could not translate %s. Probably because "
                                              "the mo file doesn't contain utf-8 encoded "
                                              "translations.";

std::string folderOf(const std::string& path)
{
    return path.substr(0, path.rfind('/') + 1);
}

} // namespace

TGnuGettextInstance::TGnuGettextInstance(
    const std::string& executablePath, const TAssemblyAnalyzer* embedded)
    : m_catalogDirectory(folderOf(executablePath) + "locale")
    , m_embedded(embedded)
{
    chooseLanguage("");
    bindDomain("default", m_catalogDirectory);
    selectDomain("default");
}

TDomain& TGnuGettextInstance::domain(std::string_view name)
{
    const auto byName = [name](const std::unique_ptr<TDomain>& d) { return d->name() == name; };
    {
        const std::shared_lock reader(m_lock);
        const auto found = std::find_if(m_domains.begin(), m_domains.end(), byName);
        if (found != m_domains.end())
            return **found;
    }
    // Another thread may have created it between the two locks.
    const std::unique_lock writer(m_lock);
    const auto found = std::find_if(m_domains.begin(), m_domains.end(), byName);
    if (found != m_domains.end())
        return **found;
    m_domains.push_back(
        std::make_unique<TDomain>(std::string(name), m_catalogDirectory, m_language, m_embedded));
    return *m_domains.back();
}

std::string TGnuGettextInstance::translateText(std::string_view msgid)
{
    return translateInDomain(currentDomain(), msgid);
}

std::string TGnuGettextInstance::translateInDomain(
    std::string_view domainName, std::string_view msgid)
{
    TDomain& d = domain(domainName);
    const bool hasCarriageReturn = msgid.find('\r') != std::string_view::npos;
    const std::string strippedKey
        = hasCarriageReturn ? withoutCarriageReturns(msgid) : std::string();
    const std::string_view key = hasCarriageReturn ? std::string_view(strippedKey) : msgid;
    // The empty text is its own translation, whatever the catalog (whose empty key is its
    // header); a text of carriage returns alone becomes empty without an error.
    std::optional<std::string> found = key.empty() ? std::nullopt : d.lookup(key);
    if (found && (found->empty() || !isValidUtf8(*found)))
        throw platform::Exception(
            platform::formatMessage(untranslatableMessage, { std::string(msgid) }));
    const std::string_view result = found ? std::string_view(*found) : key;
    if (result.find('\n') == std::string_view::npos)
        return found ? std::move(*found) : std::string(key);
    return withCarriageReturns(result);
}

void TGnuGettextInstance::chooseLanguage(std::string code)
{
    if (code.empty()) {
        const char* variable = std::getenv("LANG");
        code = variable && *variable ? variable : systemLanguageCode();
    }
    code = code.substr(0, code.find('.'));
    const std::unique_lock writer(m_lock);
    m_language = code;
    for (const auto& d : m_domains)
        d->setLanguage(code);
}

void TGnuGettextInstance::bindDomain(std::string_view domainName, const std::string& directory)
{
    domain(domainName).setDirectory(directory);
}

void TGnuGettextInstance::selectDomain(std::string domainName)
{
    const std::unique_lock writer(m_lock);
    m_currentDomain = std::move(domainName);
}

std::string TGnuGettextInstance::language() const
{
    const std::shared_lock reader(m_lock);
    return m_language;
}

std::string TGnuGettextInstance::currentDomain() const
{
    const std::shared_lock reader(m_lock);
    return m_currentDomain;
}

std::string TGnuGettextInstance::catalogDirectory() const
{
    const std::shared_lock reader(m_lock);
    return m_catalogDirectory;
}

} // namespace gnugettext
