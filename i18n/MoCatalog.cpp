#include "i18n/MoCatalog.h"

#include "i18n/TextRules.h"
#include "platform/Exception.h"

#include <cstring>
#include <functional>

namespace gnugettext {

namespace {

constexpr std::uint32_t littleEndianMagic = 0x950412de;
constexpr std::uint32_t swappedMagic = 0xde120495;
constexpr std::size_t headerSize = 28;
// Minor revision 1 adds the system-dependent string tables after the basic header.
constexpr std::size_t extendedHeaderSize = 48;
constexpr std::size_t descriptorSize = 8;
// The originalLength of an empty place of the index; no text of a catalog below 4 GiB is this
// long.
constexpr std::uint32_t emptySlot = 0xffffffff;

std::uint32_t swapBytes(std::uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0xff00) | ((value << 8) & 0xff0000) | (value << 24);
}

// The hash bits that choose no place in the index (on 64-bit hosts).
std::uint32_t tagOf(std::size_t hash)
{
    return static_cast<std::uint32_t>(std::uint64_t { hash } >> 32);
}

} // namespace

void raiseInvalidCatalog(const std::string& path)
{
    throw platform::Exception(std::string(invalidCatalogMessage) + path);
}

MoCatalog::MoCatalog(const unsigned char* data, std::size_t size, const std::string& path)
    : m_data(data)
    , m_size(size)
{
    readHeader(path);
    const std::vector<Entry> entries = readEntries(path);
    if (m_hashSize != 0)
        checkHashTable(path);
    else
        checkSorted(entries, path);
    buildIndex(entries);
}

std::uint32_t MoCatalog::word(std::size_t offset) const
{
    std::uint32_t value;
    // Catalogs embedded in a larger file need not be aligned.
    std::memcpy(&value, m_data + offset, sizeof value);
    return m_swapped ? swapBytes(value) : value;
}

void MoCatalog::readHeader(const std::string& path)
{
    if (m_size < headerSize)
        raiseInvalidCatalog(path);
    std::uint32_t magic;
    std::memcpy(&magic, m_data, sizeof magic);
    if (magic == swappedMagic)
        m_swapped = true;
    else if (magic != littleEndianMagic)
        raiseInvalidCatalog(path);

    const std::uint32_t revision = word(4);
    if (revision >> 16 > 1)
        raiseInvalidCatalog(path);
    m_count = word(8);
    m_originals = word(12);
    m_translations = word(16);
    m_hashSize = word(20);
    m_hashTable = word(24);

    const std::uint64_t tableBytes = std::uint64_t { m_count } * descriptorSize;
    if (m_originals + tableBytes > m_size || m_translations + tableBytes > m_size)
        raiseInvalidCatalog(path);
    // The probe step divides by size - 2; msgfmt never writes a table smaller than 3.
    if (m_hashSize != 0
        && (m_hashSize < 3 || m_hashTable + std::uint64_t { m_hashSize } * 4 > m_size))
        raiseInvalidCatalog(path);

    m_hashEntryLimit = m_count;
    if ((revision & 0xffff) >= 1) {
        if (m_size < extendedHeaderSize)
            raiseInvalidCatalog(path);
        m_hashEntryLimit += word(36);
    }
}

std::vector<MoCatalog::Entry> MoCatalog::readEntries(const std::string& path) const
{
    // Each text lies inside the catalog and ends with a zero byte.
    const auto checkedText = [this, &path](std::size_t descriptor) {
        const std::uint32_t length = word(descriptor);
        const std::uint32_t offset = word(descriptor + 4);
        if (std::uint64_t { offset } + length >= m_size || m_data[offset + length] != 0
            || length >= emptySlot)
            raiseInvalidCatalog(path);
        return std::pair { offset, length };
    };
    // Only the first text of an entry counts (a plural entry holds several, each ending with
    // a zero byte), so each length is cut at the first zero.
    const auto firstText = [this](std::uint32_t offset, std::uint32_t length) {
        const char* text = reinterpret_cast<const char*>(m_data) + offset;
        return std::string_view(text, ::strnlen(text, length));
    };
    std::vector<Entry> entries;
    entries.reserve(m_count);
    for (std::uint32_t i = 0; i < m_count; ++i) {
        const auto [originalOffset, originalLength]
            = checkedText(m_originals + std::size_t { i } * descriptorSize);
        const auto [translationOffset, translationLength]
            = checkedText(m_translations + std::size_t { i } * descriptorSize);
        const std::string_view translation = firstText(translationOffset, translationLength);
        entries.push_back({ originalOffset,
            static_cast<std::uint32_t>(firstText(originalOffset, originalLength).size()),
            translationOffset,
            isValidUtf8(translation) ? static_cast<std::uint32_t>(translation.size()) : 0 });
    }
    return entries;
}

void MoCatalog::checkHashTable(const std::string& path) const
{
    // The lookup does not use the format's table, but a catalog whose table names strings it
    // does not have is damaged.
    for (std::uint32_t i = 0; i < m_hashSize; ++i) {
        if (word(m_hashTable + std::size_t { i } * 4) > m_hashEntryLimit)
            raiseInvalidCatalog(path);
    }
}

void MoCatalog::buildIndex(const std::vector<Entry>& entries)
{
    std::size_t size = 16;
    while (size < 2 * entries.size())
        size *= 2;
    m_index.assign(size, Slot { 0, { 0, emptySlot, 0, 0 } });
    m_indexMask = size - 1;
    for (const Entry& entry : entries) {
        const std::string_view key = original(entry);
        if (key.empty())
            continue; // the header
        const std::size_t hash = std::hash<std::string_view> {}(key);
        for (std::size_t at = hash & m_indexMask;; at = (at + 1) & m_indexMask) {
            Slot& slot = m_index[at];
            if (slot.entry.originalLength == emptySlot) {
                slot = { tagOf(hash), entry };
                break;
            }
            // A key twice (msgfmt never writes one): the first entry answers.
            if (original(slot.entry) == key)
                break;
        }
    }
}

std::string_view MoCatalog::original(const Entry& entry) const
{
    return { reinterpret_cast<const char*>(m_data) + entry.originalOffset, entry.originalLength };
}

void MoCatalog::checkSorted(const std::vector<Entry>& entries, const std::string& path) const
{
    // Without a hash table the format keeps the originals in strcmp order (the byte order of
    // these texts without their zero), which readers search in halves: a catalog out of order
    // is damaged.
    for (std::size_t i = 1; i < entries.size(); ++i) {
        if (original(entries[i - 1]) > original(entries[i]))
            raiseInvalidCatalog(path);
    }
}

std::optional<std::string_view> MoCatalog::find(std::string_view key) const
{
    // No real key is as long as the empty-slot marker.
    if (key.empty() || key.size() >= emptySlot)
        return std::nullopt;
    const std::size_t hash = std::hash<std::string_view> {}(key);
    const std::uint32_t tag = tagOf(hash);
    for (std::size_t at = hash & m_indexMask;; at = (at + 1) & m_indexMask) {
        const Slot& slot = m_index[at];
        if (slot.entry.originalLength == emptySlot)
            return std::nullopt;
        if (slot.tag == tag && slot.entry.originalLength == key.size()) {
            // The translation is wanted next: fetch it while the original is compared.
            __builtin_prefetch(m_data + slot.entry.translationOffset);
            if (original(slot.entry) == key)
                return std::string_view(
                    reinterpret_cast<const char*>(m_data) + slot.entry.translationOffset,
                    slot.entry.translationLength);
        }
    }
}

} // namespace gnugettext
