#pragma once
// One text domain: a name, the folder its catalogs lie under, the language, and at most one
// open catalog, which is opened at the first lookup and searched for only once when missing.

#include "i18n/CatalogBytes.h"
#include "i18n/MoCatalog.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gnugettext {

class TAssemblyAnalyzer;

// A text domain. Lookups may run on several threads at once. Opening and closing the catalog
// take the domain's lock; searching an open catalog takes none, since an open catalog never
// changes: it is the domain's own copy of the file, and a closed one stays in memory until the
// domain ends, for searches still running in it.
class TDomain {
public:
    // embedded may be null (no embedded catalogs); it must outlive the domain.
    TDomain(std::string name, const std::string& directory, std::string language,
        const TAssemblyAnalyzer* embedded);
    ~TDomain();
    TDomain(const TDomain&) = delete;
    TDomain& operator=(const TDomain&) = delete;

    const std::string& name() const { return m_name; }

    // Sets the folder of the domain's catalogs (a delimiter is added when missing) and
    // closes the catalog, so that the next lookup searches again.
    void setDirectory(const std::string& directory);
    // Sets the language code and closes the catalog.
    void setLanguage(const std::string& language);

    // The catalog's translation of key, or nothing when there is no catalog or it lacks the
    // key. A translation longer than lengthLimit bytes counts as missing, and the catalog is
    // reported once on the standard error stream. Raises platform::Exception when the catalog
    // exists but cannot be opened, read or recognised; the next lookup then tries again.
    // The text lies in the catalog's bytes, which stay in memory as long as the domain does.
    std::optional<std::string_view> lookup(
        std::string_view key, std::size_t lengthLimit = SIZE_MAX);

private:
    struct OpenCatalog;
    struct Source;

    const OpenCatalog* openCatalog();
    void closeCatalog();
    std::optional<Source> findCatalog() const;
    std::optional<std::string> catalogPath(std::string_view language) const;

    const std::string m_name;
    const TAssemblyAnalyzer* const m_embedded;
    std::atomic<const OpenCatalog*> m_catalog { nullptr };
    std::atomic<bool> m_mayOpen { true };
    // Guards everything below, and the opening and closing of the catalog.
    std::mutex m_lock;
    std::string m_directory;
    std::string m_language;
    std::vector<std::unique_ptr<OpenCatalog>> m_opened;
};

} // namespace gnugettext
