#include "i18n/TGnuGettextInstance.h"

#include "i18n/SystemLanguage.h"
#include "i18n/TextRules.h"
#include "platform/Exception.h"
#include "platform/Format.h"

#include <cstdlib>
#include <filesystem>
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

// The "locale" folder beside the executable. An installed program has none in its bin folder
// (where /usr/bin/locale is the C library's program of that name, a file, never a catalog
// folder); it takes <prefix>/share/quillet/locale, where packages keep data, when that one exists.
std::string catalogFolderOf(const std::string& executablePath)
{
    const std::string beside = folderOf(executablePath) + "locale";
    const std::string installed = folderOf(executablePath) + "../share/quillet/locale";
    std::error_code ignored;
    if (!std::filesystem::is_directory(beside, ignored)
        && std::filesystem::is_directory(installed, ignored))
        return installed;
    return beside;
}

} // namespace

TGnuGettextInstance::TGnuGettextInstance(
    const std::string& executablePath, const TAssemblyAnalyzer* embedded)
    : m_embedded(embedded)
    , m_catalogDirectory(catalogFolderOf(executablePath))
{
    chooseLanguage("");
    bindDomain("default", m_catalogDirectory);
    selectDomain("default");
}

TDomain* TGnuGettextInstance::findDomain(std::string_view name) const
{
    for (Node* node = m_first.load(std::memory_order_acquire); node;
         node = node->next.load(std::memory_order_acquire)) {
        if (node->domain.name() == name)
            return &node->domain;
    }
    return nullptr;
}

TDomain& TGnuGettextInstance::domain(std::string_view name)
{
    if (TDomain* found = findDomain(name))
        return *found;
    const std::lock_guard writer(m_lock);
    // Another thread may have created it meanwhile.
    if (TDomain* found = findDomain(name))
        return *found;
    auto node
        = std::make_unique<Node>(std::string(name), m_catalogDirectory, m_language, m_embedded);
    Node* added = node.get();
    // Published last, once complete, so that a lookup never meets a half-built domain.
    std::atomic<Node*>& link = m_nodes.empty() ? m_first : m_nodes.back()->next;
    m_nodes.push_back(std::move(node));
    link.store(added, std::memory_order_release);
    return added->domain;
}

std::string TGnuGettextInstance::translateText(std::string_view msgid, std::size_t lengthLimit)
{
    return translateIn(*m_current.load(std::memory_order_acquire), msgid, lengthLimit);
}

std::string TGnuGettextInstance::translateInDomain(
    std::string_view domainName, std::string_view msgid, std::size_t lengthLimit)
{
    return translateIn(domain(domainName), msgid, lengthLimit);
}

std::string TGnuGettextInstance::translateIn(
    TDomain& d, std::string_view msgid, std::size_t lengthLimit)
{
    const bool hasCarriageReturn = msgid.find('\r') != std::string_view::npos;
    const std::string strippedKey
        = hasCarriageReturn ? withoutCarriageReturns(msgid) : std::string();
    const std::string_view key = hasCarriageReturn ? std::string_view(strippedKey) : msgid;
    // The empty text is its own translation, whatever the catalog (whose empty key is its
    // header); a text of carriage returns alone becomes empty without an error.
    const std::optional<std::string_view> found
        = key.empty() ? std::nullopt : d.lookup(key, lengthLimit);
    // The catalog answers a translation that is not valid UTF-8 as the empty text.
    if (found && found->empty())
        throw platform::Exception(
            platform::formatMessage(untranslatableMessage, { std::string(msgid) }));
    return withCarriageReturns(found ? *found : key);
}

void TGnuGettextInstance::chooseLanguage(std::string code)
{
    if (code.empty()) {
        const char* variable = std::getenv("LANG");
        code = variable && *variable ? variable : systemLanguageCode();
    }
    code = code.substr(0, code.find('.'));
    const std::lock_guard writer(m_lock);
    m_language = code;
    for (const auto& node : m_nodes)
        node->domain.setLanguage(code);
}

void TGnuGettextInstance::bindDomain(std::string_view domainName, const std::string& directory)
{
    domain(domainName).setDirectory(directory);
}

void TGnuGettextInstance::selectDomain(std::string_view domainName)
{
    m_current.store(&domain(domainName), std::memory_order_release);
}

std::string TGnuGettextInstance::language() const
{
    const std::lock_guard reader(m_lock);
    return m_language;
}

std::string TGnuGettextInstance::currentDomain() const
{
    return m_current.load(std::memory_order_acquire)->name();
}

std::string TGnuGettextInstance::catalogDirectory() const
{
    const std::lock_guard reader(m_lock);
    return m_catalogDirectory;
}

} // namespace gnugettext
