#include "i18n/MoCatalog.h"

#include "platform/Exception.h"

#include <cstring>

namespace gnugettext {

namespace {

constexpr std::uint32_t littleEndianMagic = 0x950412de;
constexpr std::uint32_t swappedMagic = 0xde120495;
constexpr std::size_t headerSize = 28;
// Minor revision 1 adds the system-dependent string tables after the basic header.
constexpr std::size_t extendedHeaderSize = 48;
constexpr std::size_t descriptorSize = 8;

[[noreturn]] void raiseInvalid(const std::string& path)
{
    throw platform::Exception(std::string(invalidCatalogMessage) + path);
}

std::uint32_t swapBytes(std::uint32_t value)
{
    return (value >> 24) | ((value >> 8) & 0xff00) | ((value << 8) & 0xff0000) | (value << 24);
}

// Compares key (which holds no zero byte) with the zero-terminated text at entry, reading at
// most length + 1 bytes of it: the same order as strcmp, which msgfmt sorts by.
int compareKey(std::string_view key, const char* entry, std::uint32_t length)
{
    const std::size_t common = key.size() < length ? key.size() : length;
    if (const int result = std::memcmp(key.data(), entry, common))
        return result;
    if (key.size() > length)
        return 1;
    // A zero right after the key ends the entry's first text (a plural entry holds two).
    return entry[key.size()] == '\0' ? 0 : -1;
}

} // namespace

std::uint32_t moHash(std::string_view key)
{
    std::uint32_t value = 0;
    for (const char c : key) {
        value = (value << 4) + static_cast<unsigned char>(c);
        const std::uint32_t high = value & 0xf0000000u;
        if (high != 0) {
            value ^= high >> 24;
            value ^= high;
        }
    }
    return value;
}

MoCatalog::MoCatalog(const unsigned char* data, std::size_t size, const std::string& path)
    : m_data(data)
    , m_size(size)
{
    checkHeader(path);
    checkTexts(m_originals, path);
    checkTexts(m_translations, path);
    if (m_hashSize != 0)
        checkHashTable(path);
    else
        checkSorted(path);
}

std::uint32_t MoCatalog::word(std::size_t offset) const
{
    std::uint32_t value;
    // Catalogs embedded in a larger file need not be aligned.
    std::memcpy(&value, m_data + offset, sizeof value);
    return m_swapped ? swapBytes(value) : value;
}

MoCatalog::Text MoCatalog::text(std::uint32_t table, std::uint32_t index) const
{
    const std::size_t descriptor = table + std::size_t { index } * descriptorSize;
    return { reinterpret_cast<const char*>(m_data) + word(descriptor + 4), word(descriptor) };
}

void MoCatalog::checkHeader(const std::string& path)
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

void MoCatalog::checkTexts(std::uint32_t table, const std::string& path) const
{
    for (std::uint32_t i = 0; i < m_count; ++i) {
        const std::size_t descriptor = table + std::size_t { i } * descriptorSize;
        const std::uint64_t length = word(descriptor);
        const std::uint64_t offset = word(descriptor + 4);
        if (offset + length >= m_size || m_data[offset + length] != 0)
            raiseInvalid(path);
    }
}

void MoCatalog::checkHashTable(const std::string& path) const
{
    for (std::uint32_t i = 0; i < m_hashSize; ++i) {
        if (word(m_hashTable + std::size_t { i } * 4) > m_hashEntryLimit)
            raiseInvalid(path);
    }
}

void MoCatalog::checkSorted(const std::string& path) const
{
    // Without a hash table the lookup is a binary search, which needs msgfmt's order. Every
    // text is known to be terminated, so strcmp stays inside the catalog.
    for (std::uint32_t i = 1; i < m_count; ++i) {
        if (std::strcmp(text(m_originals, i - 1).bytes, text(m_originals, i).bytes) > 0)
            raiseInvalid(path);
    }
}

std::optional<std::string_view> MoCatalog::find(std::string_view key) const
{
    // A key with a zero byte cannot equal any catalog text.
    if (key.empty() || std::memchr(key.data(), 0, key.size()) != nullptr)
        return std::nullopt;
    const std::optional<std::uint32_t> index
        = m_hashSize != 0 ? findByHash(key) : findBySearch(key);
    if (!index)
        return std::nullopt;
    return translation(*index);
}

std::optional<std::uint32_t> MoCatalog::findByHash(std::string_view key) const
{
    const std::uint32_t hash = moHash(key);
    const std::uint32_t step = 1 + hash % (m_hashSize - 2);
    std::uint32_t slot = hash % m_hashSize;
    // A table without an empty slot would otherwise make the probing run forever.
    for (std::uint32_t probes = 0; probes < m_hashSize; ++probes) {
        const std::uint32_t entry = word(m_hashTable + std::size_t { slot } * 4);
        if (entry == 0)
            return std::nullopt;
        const std::uint32_t index = entry - 1;
        if (index < m_count) {
            const Text original = text(m_originals, index);
            if (original.length >= key.size()
                && compareKey(key, original.bytes, original.length) == 0)
                return index;
        }
        slot = slot >= m_hashSize - step ? slot - (m_hashSize - step) : slot + step;
    }
    return std::nullopt;
}

std::optional<std::uint32_t> MoCatalog::findBySearch(std::string_view key) const
{
    std::uint32_t low = 0;
    std::uint32_t high = m_count;
    while (low < high) {
        const std::uint32_t middle = low + (high - low) / 2;
        const Text original = text(m_originals, middle);
        const int order = compareKey(key, original.bytes, original.length);
        if (order == 0)
            return middle;
        if (order < 0)
            high = middle;
        else
            low = middle + 1;
    }
    return std::nullopt;
}

std::string_view MoCatalog::translation(std::uint32_t index) const
{
    const Text translated = text(m_translations, index);
    // A plural entry holds its forms one after another; the first one answers.
    const void* end = std::memchr(translated.bytes, 0, translated.length);
    const std::size_t length
        = end ? static_cast<const char*>(end) - translated.bytes : translated.length;
    return { translated.bytes, length };
}

} // namespace gnugettext
