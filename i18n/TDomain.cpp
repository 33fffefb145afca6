#include "i18n/TDomain.h"

#include "i18n/TAssemblyAnalyzer.h"
#include "platform/Exception.h"

#include <cstdio>

namespace gnugettext {

namespace {

std::string withDelimiter(const std::string& directory)
{
    return directory.empty() || directory.back() != '/' ? directory + '/' : directory;
}

// A language code or domain name becomes one folder or file name; anything that could lead
// elsewhere ("..", a delimiter, a hidden name) forms no path at all.
bool isPlainName(std::string_view name)
{
    return !name.empty() && name.front() != '.' && name.find('/') == std::string_view::npos
        && name.find('\0') == std::string_view::npos;
}

} // namespace

// Where a found catalog lies: a file of its own, or a byte range of the executable.
struct TDomain::Source {
    std::string catalogPath;
    std::optional<TAssemblyFileInfo> embedded;
};

// A catalog read into memory and checked.
struct TDomain::OpenCatalog {
    OpenCatalog(const Source& source, const TAssemblyAnalyzer* embedded);

    const std::string path;
    const std::string bytes;
    const MoCatalog catalog;
    // Set once the catalog has been reported for a translation beyond a lookup's limit.
    mutable std::atomic<bool> reportedOverlong { false };
};

namespace {

// No catalog of a desktop program comes near this size; a bigger file is refused rather than
// read whole into memory (the format's 32-bit offsets reach no further than 4 GiB anyway).
constexpr std::uint64_t largestCatalog = std::uint64_t { 256 } << 20;

// The catalog's bytes: all of a file of its own, the recorded range of the executable for an
// embedded one. The chain is as untrusted as the catalog: its range must lie inside the file.
std::string readCatalog(const std::string& path, const std::optional<TAssemblyFileInfo>& embedded,
    const TAssemblyAnalyzer* analyzer)
{
    if (!embedded) {
        std::string bytes = readCatalogBytes(path, 0, largestCatalog + 1);
        if (bytes.size() > largestCatalog)
            raiseInvalidCatalog(path);
        return bytes;
    }
    if (embedded->size > largestCatalog)
        raiseInvalidCatalog(path);
    std::string bytes
        = readCatalogBytes(analyzer->executablePath(), embedded->offset, embedded->size);
    if (bytes.size() != embedded->size)
        raiseInvalidCatalog(path);
    return bytes;
}

// A catalog with a translation no short text can need (say 20 MB for "OK") is suspicious: the
// text is used as built, and the operator learns once which file to look at.
void reportOverlong(
    const std::string& path, std::string_view key, std::size_t length, std::size_t limit)
{
    const std::string_view shownKey = key.substr(0, 64);
    std::fprintf(stderr,
        "gnugettext: suspicious catalog %s: the translation of \"%.*s\" is %zu bytes long; "
        "translations of built-in texts longer than %zu bytes are ignored\n",
        path.c_str(), static_cast<int>(shownKey.size()), shownKey.data(), length, limit);
}

} // namespace

TDomain::OpenCatalog::OpenCatalog(const Source& source, const TAssemblyAnalyzer* embedded)
    : path(source.catalogPath)
    , bytes(readCatalog(source.catalogPath, source.embedded, embedded))
    , catalog(
          reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), source.catalogPath)
{
}

TDomain::TDomain(std::string name, const std::string& directory, std::string language,
    const TAssemblyAnalyzer* embedded)
    : m_name(std::move(name))
    , m_embedded(embedded)
    , m_directory(withDelimiter(directory))
    , m_language(std::move(language))
{
}

TDomain::~TDomain() = default;

void TDomain::setDirectory(const std::string& directory)
{
    const std::lock_guard writer(m_lock);
    m_directory = withDelimiter(directory);
    closeCatalog();
}

void TDomain::setLanguage(const std::string& language)
{
    const std::lock_guard writer(m_lock);
    m_language = language;
    closeCatalog();
}

std::optional<std::string> TDomain::catalogPath(std::string_view language) const
{
    if (!isPlainName(language) || !isPlainName(m_name))
        return std::nullopt;
    return m_directory + std::string(language) + "/LC_MESSAGES/" + m_name + ".mo";
}

std::optional<std::string_view> TDomain::lookup(std::string_view key, std::size_t lengthLimit)
{
    const OpenCatalog* open = m_catalog.load(std::memory_order_acquire);
    if (!open && m_mayOpen.load(std::memory_order_acquire))
        open = openCatalog();
    if (!open)
        return std::nullopt;
    const std::optional<std::string_view> found = open->catalog.find(key);
    if (!found)
        return std::nullopt;
    if (found->size() > lengthLimit) {
        if (!open->reportedOverlong.exchange(true))
            reportOverlong(open->path, key, found->size(), lengthLimit);
        return std::nullopt;
    }
    return found;
}

std::optional<TDomain::Source> TDomain::findCatalog() const
{
    // A code that cannot form a path counts as no catalog, its first two characters too.
    if (!catalogPath(m_language))
        return std::nullopt;
    // The full code first ("de_DE"), then its language alone ("de").
    for (const std::string_view code :
        { std::string_view(m_language), std::string_view(m_language).substr(0, 2) }) {
        const std::optional<std::string> path = catalogPath(code);
        // An embedded catalog wins over a file of the same path.
        if (m_embedded) {
            if (const auto info = m_embedded->find(*path))
                return Source { *path, info };
        }
        if (isRegularFile(*path))
            return Source { *path, std::nullopt };
    }
    return std::nullopt;
}

const TDomain::OpenCatalog* TDomain::openCatalog()
{
    const std::lock_guard writer(m_lock);
    // Another thread may have opened it, or found that there is none, meanwhile.
    if (const OpenCatalog* open = m_catalog.load(std::memory_order_relaxed))
        return open;
    if (!m_mayOpen.load(std::memory_order_relaxed))
        return nullptr;
    const std::optional<Source> source = findCatalog();
    if (!source) {
        m_mayOpen.store(false, std::memory_order_release);
        return nullptr;
    }
    m_opened.push_back(std::make_unique<OpenCatalog>(*source, m_embedded));
    m_catalog.store(m_opened.back().get(), std::memory_order_release);
    return m_opened.back().get();
}

void TDomain::closeCatalog()
{
    // The catalog itself stays in m_opened: a search on another thread may still read it.
    m_catalog.store(nullptr, std::memory_order_release);
    m_mayOpen.store(true, std::memory_order_release);
}

} // namespace gnugettext
