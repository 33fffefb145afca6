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
// Markers in a slot's originalLength; no text of a catalog below 4 GiB is this long.
constexpr std::uint32_t emptySlot = 0xffffffff;
constexpr std::uint32_t unusedSlot = 0xfffffffe;

[[noreturn]] void raiseInvalid(const std::string& path)
{
    throw platform::Exception(std::string(invalidCatalogMessage) + path);
}

std::uint32_t swapBytes(std::uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0xff00) | ((value << 8) & 0xff0000) | (value << 24);
}

} // namespace

std::uint32_t moHash(std::string_view key)
{
    std::uint32_t value = 0;
    for (const char c : key) {
        value = (value << 4) + static_cast<unsigned char>(c);
        // Folds the top four bits back in; written without a branch, which mispredicts.
        value = (value & 0x0fffffffu) ^ ((value >> 24) & 0xf0u);
    }
    return value;
}

MoCatalog::MoCatalog(const unsigned char* data, std::size_t size, const std::string& path)
    : m_data(data)
    , m_size(size)
{
    readHeader(path);
    readEntries(path);
    if (m_hashSize != 0) {
        readHashTable(path);
        m_entries = {};
    } else {
        checkSorted(path);
    }
    std::size_t memoSize = 16;
    while (memoSize < 2 * std::size_t { m_count })
        memoSize *= 2;
    m_memo = std::make_unique<std::atomic<std::uint32_t>[]>(memoSize);
    m_memoMask = memoSize - 1;
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
        raiseInvalid(path);
    std::uint32_t magic;
    std::memcpy(&magic, m_data, sizeof magic);
    if (magic == swappedMagic)
        m_swapped = true;
    else if (magic != littleEndianMagic)
        raiseInvalid(path);

    const std::uint32_t revision = word(4);
    if (revision >> 16 > 1)
        raiseInvalid(path);
    m_count = word(8);
    m_originals = word(12);
    m_translations = word(16);
    m_hashSize = word(20);
    m_hashTable = word(24);

    const std::uint64_t tableBytes = std::uint64_t { m_count } * descriptorSize;
    if (m_originals + tableBytes > m_size || m_translations + tableBytes > m_size)
        raiseInvalid(path);
    // The probe step divides by size - 2; msgfmt never writes a table smaller than 3.
    if (m_hashSize != 0
        && (m_hashSize < 3 || m_hashTable + std::uint64_t { m_hashSize } * 4 > m_size))
        raiseInvalid(path);

    m_hashEntryLimit = m_count;
    if ((revision & 0xffff) >= 1) {
        if (m_size < extendedHeaderSize)
            raiseInvalid(path);
        m_hashEntryLimit += word(36);
    }
}

void MoCatalog::readEntries(const std::string& path)
{
    // Each text lies inside the catalog and ends with a zero byte.
    const auto checkedText = [this, &path](std::size_t descriptor) {
        const std::uint32_t length = word(descriptor);
        const std::uint32_t offset = word(descriptor + 4);
        if (std::uint64_t { offset } + length >= m_size || m_data[offset + length] != 0
            || length >= unusedSlot)
            raiseInvalid(path);
        return std::pair { offset, length };
    };
    // Only the first text of an entry counts (a plural entry holds several, each ending with
    // a zero byte), so each length is cut at the first zero.
    const auto firstText = [this](std::uint32_t offset, std::uint32_t length) {
        const char* text = reinterpret_cast<const char*>(m_data) + offset;
        return std::string_view(text, ::strnlen(text, length));
    };
    m_entries.reserve(m_count);
    for (std::uint32_t i = 0; i < m_count; ++i) {
        const auto [originalOffset, originalLength]
            = checkedText(m_originals + std::size_t { i } * descriptorSize);
        const auto [translationOffset, translationLength]
            = checkedText(m_translations + std::size_t { i } * descriptorSize);
        const std::string_view translation = firstText(translationOffset, translationLength);
        m_entries.push_back({ originalOffset,
            static_cast<std::uint32_t>(firstText(originalOffset, originalLength).size()),
            translationOffset,
            isValidUtf8(translation) ? static_cast<std::uint32_t>(translation.size()) : 0 });
    }
}

void MoCatalog::readHashTable(const std::string& path)
{
    m_slots.reserve(m_hashSize);
    for (std::uint32_t i = 0; i < m_hashSize; ++i) {
        const std::uint32_t slot = word(m_hashTable + std::size_t { i } * 4);
        if (slot > m_hashEntryLimit)
            raiseInvalid(path);
        if (slot == 0)
            m_slots.push_back({ 0, emptySlot, 0, 0 });
        else if (slot > m_count)
            m_slots.push_back({ 0, unusedSlot, 0, 0 });
        else
            m_slots.push_back(m_entries[slot - 1]);
    }
}

std::string_view MoCatalog::original(const Entry& entry) const
{
    return { reinterpret_cast<const char*>(m_data) + entry.originalOffset, entry.originalLength };
}

void MoCatalog::checkSorted(const std::string& path) const
{
    // Without a hash table the lookup is a binary search, which needs msgfmt's order (that of
    // strcmp, which is the byte order of these texts without their zero).
    for (std::size_t i = 1; i < m_entries.size(); ++i) {
        if (original(m_entries[i - 1]) > original(m_entries[i]))
            raiseInvalid(path);
    }
}

std::optional<std::string_view> MoCatalog::find(std::string_view key) const
{
    // The header's empty key never answers; no real key is as long as the slot markers.
    if (key.empty() || key.size() >= unusedSlot)
        return std::nullopt;
    const std::size_t hash = std::hash<std::string_view> {}(key);
    const Entry* entry = recall(key, hash);
    if (!entry) {
        entry = m_slots.empty() ? findBySearch(key) : findByHash(key);
        if (!entry)
            return std::nullopt;
        m_memo[hash & m_memoMask].store(
            static_cast<std::uint32_t>(entry - table().data() + 1), std::memory_order_relaxed);
    }
    return std::string_view(
        reinterpret_cast<const char*>(m_data) + entry->translationOffset, entry->translationLength);
}

const MoCatalog::Entry* MoCatalog::recall(std::string_view key, std::size_t hash) const
{
    const std::uint32_t position = m_memo[hash & m_memoMask].load(std::memory_order_relaxed);
    if (position == 0)
        return nullptr;
    const Entry& entry = table()[position - 1];
    return entry.originalLength == key.size() && original(entry) == key ? &entry : nullptr;
}

const MoCatalog::Entry* MoCatalog::findByHash(std::string_view key) const
{
    const std::uint32_t hash = moHash(key);
    const std::uint32_t step = 1 + hash % (m_hashSize - 2);
    std::uint32_t slot = hash % m_hashSize;
    // A table without an empty slot would otherwise make the probing run forever.
    for (std::uint32_t probes = 0; probes < m_hashSize; ++probes) {
        const Entry& entry = m_slots[slot];
        if (entry.originalLength == emptySlot)
            return nullptr;
        // The marked slots have no length a key could have.
        if (entry.originalLength == key.size()) {
            // The translation is wanted next: fetch it while the original is compared.
            __builtin_prefetch(m_data + entry.translationOffset);
            if (original(entry) == key)
                return &entry;
        }
        slot = slot >= m_hashSize - step ? slot - (m_hashSize - step) : slot + step;
    }
    return nullptr;
}

const MoCatalog::Entry* MoCatalog::findBySearch(std::string_view key) const
{
    std::size_t low = 0;
    std::size_t high = m_entries.size();
    while (low < high) {
        const std::size_t middle = low + (high - low) / 2;
        const int order = key.compare(original(m_entries[middle]));
        if (order == 0)
            return &m_entries[middle];
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return nullptr;
}

} // namespace gnugettext
