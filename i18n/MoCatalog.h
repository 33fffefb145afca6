#pragma once
// A GNU gettext .mo catalog read from memory. Catalogs come from outside the program, so the
// constructor checks every header field, table, offset, length, terminator and hash entry
// before any lookup may use them.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gnugettext {

// The message raised for any catalog that fails a check; the catalog's path follows it.
inline constexpr std::string_view invalidCatalogMessage
    = "This file is not a valid GNU gettext mo file: ";

// A checked view of one catalog's bytes (which the caller keeps alive and unchanged).
class MoCatalog {
public:
    // Checks the catalog; raises platform::Exception with invalidCatalogMessage + path when
    // any part of it is malformed.
    MoCatalog(const unsigned char* data, std::size_t size, const std::string& path);

    // The translation of key, up to its first zero byte, or nothing when the catalog lacks
    // the key. The empty key is never found (its entry is the catalog's header).
    std::optional<std::string_view> find(std::string_view key) const;

    std::uint32_t count() const { return m_count; }

private:
    struct Text {
        const char* bytes;
        std::uint32_t length;
    };

    std::uint32_t word(std::size_t offset) const;
    Text text(std::uint32_t table, std::uint32_t index) const;
    std::optional<std::uint32_t> findByHash(std::string_view key) const;
    std::optional<std::uint32_t> findBySearch(std::string_view key) const;
    std::string_view translation(std::uint32_t index) const;

    void checkHeader(const std::string& path);
    void checkTexts(std::uint32_t table, const std::string& path) const;
    void checkHashTable(const std::string& path) const;
    void checkSorted(const std::string& path) const;

    const unsigned char* m_data;
    std::size_t m_size;
    bool m_swapped = false;
    std::uint32_t m_count = 0;
    std::uint32_t m_originals = 0;
    std::uint32_t m_translations = 0;
    std::uint32_t m_hashSize = 0;
    std::uint32_t m_hashTable = 0;
    // Hash entries above m_count and up to this bound name system-dependent strings, which
    // this reader does not use.
    std::uint64_t m_hashEntryLimit = 0;
};

// The hash of the .mo format (hashpjw) over the key's bytes.
std::uint32_t moHash(std::string_view key);

} // namespace gnugettext
