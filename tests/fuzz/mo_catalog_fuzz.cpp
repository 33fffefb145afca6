// Feeds arbitrary bytes to the .mo catalog reader and looks up keys in whatever it accepts.
// The first input byte chooses how many of the following bytes form an extra key; the rest
// is the catalog. Every key of the catalog itself is looked up too, through hash and search.

#include "i18n/MoCatalog.h"
#include "platform/Exception.h"

#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    std::size_t keyLength = data[0] % 32;
    if (keyLength > size - 1)
        keyLength = size - 1;
    const std::string key(reinterpret_cast<const char*>(data + 1), keyLength);
    // A copy of exactly the catalog's bytes, so any read past its end is caught.
    const std::vector<unsigned char> catalog(data + 1 + keyLength, data + size);
    try {
        const gnugettext::MoCatalog mo(catalog.data(), catalog.size(), "fuzz.mo");
        (void)mo.find(key);
        (void)mo.find("");
        for (const char* probe : { "OK", "&Cancel", "Unable to open com port" })
            (void)mo.find(probe);
        // Every zero-terminated run of bytes in the catalog is a candidate key.
        for (std::size_t at = 0; at < catalog.size();) {
            const char* start = reinterpret_cast<const char*>(catalog.data() + at);
            const std::size_t length = strnlen(start, catalog.size() - at);
            (void)mo.find(std::string_view(start, length));
            at += length + 1;
        }
    } catch (const platform::Exception&) {
        // A rejected catalog is the expected outcome for most inputs.
    }
    return 0;
}
