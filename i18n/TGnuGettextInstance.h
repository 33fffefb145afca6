#pragma once
// The translator: the chosen language, the current domain, the catalog folder beside the
// executable, and the domains created so far.

#include "i18n/TDomain.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace gnugettext {

class TAssemblyAnalyzer;

// Translates texts through the .mo catalogs of its domains. Safe to use from several threads
// at once; a domain is created on its first use and lives as long as the translator.
class TGnuGettextInstance {
public:
    // Sets up as the program's start does: current domain "default", catalog folder
    // "<folder of executablePath>/locale" (or, when that is no folder, an installed
    // "<folder of executablePath>/../share/quillet/locale"), the language from chooseLanguage(""),
    // and "default" bound to the catalog folder. embedded may be null; it must outlive the
    // translator.
    TGnuGettextInstance(const std::string& executablePath, const TAssemblyAnalyzer* embedded);
    TGnuGettextInstance(const TGnuGettextInstance&) = delete;
    TGnuGettextInstance& operator=(const TGnuGettextInstance&) = delete;

    // msgid translated in the current domain.
    std::string translateText(std::string_view msgid, std::size_t lengthLimit = SIZE_MAX);
    // msgid translated in the named domain: looked up without carriage returns, and given
    // back with a carriage return before every line feed. A translation longer than
    // lengthLimit bytes is ignored (msgid answers). Raises platform::Exception when the
    // catalog cannot be read, or when its translation is empty or not valid UTF-8.
    std::string translateInDomain(
        std::string_view domain, std::string_view msgid, std::size_t lengthLimit = SIZE_MAX);

    // Sets the language: code, or when empty the variable LANG, or when that is empty too the
    // user's locale; anything from the first full stop on is dropped. Every domain takes it.
    void chooseLanguage(std::string code);
    // Sets the catalog folder of a domain (created when new).
    void bindDomain(std::string_view domain, const std::string& directory);
    // Sets the domain translateText uses.
    void selectDomain(std::string_view domain);

    std::string language() const;
    std::string currentDomain() const;
    std::string catalogDirectory() const;

private:
    // The domain table: a list that only grows, so lookups walk it without a lock.
    struct Node {
        template <typename... Args>
        explicit Node(Args&&... args)
            : domain(std::forward<Args>(args)...)
        {
        }
        TDomain domain;
        std::atomic<Node*> next { nullptr };
    };

    TDomain& domain(std::string_view name);
    std::string translateIn(TDomain& domain, std::string_view msgid, std::size_t lengthLimit);
    TDomain* findDomain(std::string_view name) const;

    const TAssemblyAnalyzer* const m_embedded;
    std::atomic<Node*> m_first { nullptr };
    std::atomic<TDomain*> m_current { nullptr };
    // Guards everything below, and the creation of domains.
    mutable std::mutex m_lock;
    std::string m_language;
    std::string m_catalogDirectory;
    std::vector<std::unique_ptr<Node>> m_nodes;
};

} // namespace gnugettext
