#pragma once
// A GNU gettext .mo catalog read from memory. Catalogs come from outside the program, so the
// constructor checks every header field, table, offset, length, terminator and hash entry
// before any lookup may use them. While checking, it builds an index of the entries in the
// host's byte order, so that a lookup touches as little memory as possible.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gnugettext {

// The message raised for any catalog that fails a check; the catalog's path follows it.
inline constexpr std::string_view invalidCatalogMessage
    = "This file is not a valid GNU gettext mo file: ";
// Raises platform::Exception with invalidCatalogMessage + path.
[[noreturn]] void raiseInvalidCatalog(const std::string& path);

// A checked view of one catalog's bytes (which the caller keeps alive and unchanged).
class MoCatalog {
public:
    // Checks the catalog; raises platform::Exception with invalidCatalogMessage + path when
    // any part of it is malformed.
    MoCatalog(const unsigned char* data, std::size_t size, const std::string& path);

    // The translation of key, up to its first zero byte, or nothing when the catalog lacks
    // the key. A translation that is not valid UTF-8 is answered as the empty text. The
    // empty key is never found (its entry is the catalog's header).
    std::optional<std::string_view> find(std::string_view key) const;

    std::uint32_t count() const { return m_count; }

private:
    struct Entry {
        std::uint32_t originalOffset;
        // Up to the original's first zero byte, like the translation's.
        std::uint32_t originalLength;
        std::uint32_t translationOffset;
        // Up to the translation's first zero byte (a plural entry holds several forms);
        // 0 when it is not valid UTF-8.
        std::uint32_t translationLength;
    };
    // A place of the index: an entry, and bits of its original's hash that the place does not
    // tell, so that most other keys are passed over without reading the catalog.
    struct Slot {
        std::uint32_t tag;
        Entry entry;
    };

    std::uint32_t word(std::size_t offset) const;
    void readHeader(const std::string& path);
    std::vector<Entry> readEntries(const std::string& path) const;
    void checkHashTable(const std::string& path) const;
    void checkSorted(const std::vector<Entry>& entries, const std::string& path) const;
    void buildIndex(const std::vector<Entry>& entries);
    std::string_view original(const Entry& entry) const;

    const unsigned char* m_data;
    std::size_t m_size;
    bool m_swapped = false;
    std::uint32_t m_count = 0;
    std::uint32_t m_originals = 0;
    std::uint32_t m_translations = 0;
    std::uint32_t m_hashSize = 0;
    std::uint32_t m_hashTable = 0;
    // Hash entries above the string count and up to this bound name system-dependent
    // strings, which this reader does not use.
    std::uint64_t m_hashEntryLimit = 0;
    // Every entry with a non-empty original, by a hash of it much faster than the format's
    // own (whose byte-by-byte folding costs more than the rest of a lookup), at most half
    // full, probed place after place. Built once when the catalog is opened: every key costs
    // the same, whether looked up before or not.
    std::vector<Slot> m_index;
    std::size_t m_indexMask = 0;
};

} // namespace gnugettext
