#include "i18n/TDomain.h"

#include "i18n/TAssemblyAnalyzer.h"
#include "platform/Exception.h"

#include <mutex>

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

TDomain::TDomain(std::string name, const std::string& directory, std::string language,
    const TAssemblyAnalyzer* embedded)
    : m_name(std::move(name))
    , m_directory(withDelimiter(directory))
    , m_language(std::move(language))
    , m_embedded(embedded)
{
}

TDomain::~TDomain() = default;

void TDomain::setDirectory(const std::string& directory)
{
    const std::unique_lock writer(m_lock);
    m_directory = withDelimiter(directory);
    closeCatalog();
}

void TDomain::setLanguage(const std::string& language)
{
    const std::unique_lock writer(m_lock);
    m_language = language;
    closeCatalog();
}

std::optional<std::string> TDomain::catalogPath(std::string_view language) const
{
    if (!isPlainName(language) || !isPlainName(m_name))
        return std::nullopt;
    return m_directory + std::string(language) + "/LC_MESSAGES/" + m_name + ".mo";
}

std::optional<std::string> TDomain::lookup(std::string_view key)
{
    {
        const std::shared_lock reader(m_lock);
        if (m_catalog || !m_mayOpen)
            return search(key);
    }
    openCatalog();
    const std::shared_lock reader(m_lock);
    return search(key);
}

std::optional<std::string> TDomain::search(std::string_view key) const
{
    if (!m_catalog)
        return std::nullopt;
    const std::optional<std::string_view> found = m_catalog->find(key);
    if (!found)
        return std::nullopt;
    return std::string(*found);
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

void TDomain::openCatalog()
{
    const std::unique_lock writer(m_lock);
    if (m_catalog || !m_mayOpen)
        return;
    const std::optional<Source> source = findCatalog();
    if (!source) {
        m_mayOpen = false;
        return;
    }
    auto file = std::make_unique<MappedFile>(
        source->embedded ? m_embedded->executablePath() : source->catalogPath);
    std::uint64_t offset = 0;
    std::uint64_t size = file->size();
    if (source->embedded) {
        offset = source->embedded->offset;
        size = source->embedded->size;
        // The chain is as untrusted as the catalog: its range must lie inside the file.
        if (offset > file->size() || size > file->size() - offset)
            throw platform::Exception(std::string(invalidCatalogMessage) + source->catalogPath);
    }
    m_catalog.emplace(file->data() + offset, static_cast<std::size_t>(size), source->catalogPath);
    m_file = std::move(file);
}

void TDomain::closeCatalog()
{
    m_catalog.reset();
    m_file.reset();
    m_mayOpen = true;
}

} // namespace gnugettext
