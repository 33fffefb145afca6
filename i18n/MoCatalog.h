#pragma once
// A GNU gettext .mo catalog read from memory. Catalogs come from outside the program, so the
// constructor checks every header field, table, offset, length, terminator and hash entry
// before any lookup may use them. While checking, it copies the tables it needs into a
// compact form in the host's byte order, so that a lookup touches as little memory as
// possible.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // the key. A translation that is not valid UTF-8 is answered as the empty text. The
    // empty key is never found (its entry is the catalog's header). Looks through the
    // catalog's hash table when it has one, by binary search otherwise.
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

    const std::vector<Entry>& table() const { return m_slots.empty() ? m_entries : m_slots; }
    std::uint32_t word(std::size_t offset) const;
    void readHeader(const std::string& path);
    void readEntries(const std::string& path);
    void readHashTable(const std::string& path);
    void checkSorted(const std::string& path) const;
    std::string_view original(const Entry& entry) const;
    const Entry* recall(std::string_view key, std::size_t hash) const;
    const Entry* findByHash(std::string_view key) const;
    const Entry* findBySearch(std::string_view key) const;

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
    // The entries by string index, kept for the binary search of a catalog without hash
    // table.
    std::vector<Entry> m_entries;
    // The catalog's hash table with each slot's entry in place, so that a probe reads one
    // place in memory; empty slots and those of system-dependent strings are marked in
    // originalLength.
    std::vector<Entry> m_slots;
    // Where each key found so far lies in table() (position + 1), by a hash much faster than
    // the catalog's own: a repeated lookup skips the probing. Any thread may write a slot;
    // every value is a valid position and is checked against the key before use.
    std::unique_ptr<std::atomic<std::uint32_t>[]> m_memo;
    std::size_t m_memoMask = 0;
};

// The hash of the .mo format (hashpjw) over the key's bytes.
std::uint32_t moHash(std::string_view key);

} // namespace gnugettext
