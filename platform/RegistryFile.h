#pragma once
// The registry store on disk. Readers take the file as it is: every write replaces it whole
// by renaming a finished, synced temporary file over it, so a reader sees the old or the new
// store, never a mixture. Writers serialise on an flock() of a separate lock file beside the
// store (registry.reg.lock, left in place) and re-read the store under it, so concurrent
// writers (other objects, other processes) lose nothing. The parsed store is kept and read
// again only when the file's identity, size or times change. A store is at most
// maxRegistryStoreSize bytes: a larger file is refused as unreadable, and never written.

#include "platform/RegistryTree.h"

#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <sys/types.h>

namespace platform {

inline constexpr std::size_t maxRegistryStoreSize = 16 * 1024 * 1024;

// $XDG_CONFIG_HOME/quillet/registry.reg; ~/.config when XDG_CONFIG_HOME is unset, empty or
// not an absolute path.
std::string registryStorePath();

class RegistryFile {
public:
    explicit RegistryFile(std::string path);

    const std::string& path() const { return m_path; }

    // The store as the file holds it now; a missing file (or folder) is the empty store.
    // Raises ERegistryFileError when the file cannot be read or parsed.
    std::shared_ptr<const RegistryTree> load() const;

    // Under the lock: loads the store, lets change edit it and, when change returns true,
    // writes the result. Returns false when change refused or the store could not be written
    // (the file is then unchanged). Raises ERegistryFileError as load() does.
    bool update(const std::function<bool(RegistryTree&)>& change) const;

private:
    // What tells one state of the file from another without reading it.
    struct Stamp {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = -1; // -1: no file
        timespec modified {};
        timespec changed {};
        bool operator==(const Stamp& other) const;
    };
    Stamp stampNow() const;
    bool write(RegistryTree tree) const;

    std::string m_path;
    mutable std::shared_ptr<const RegistryTree> m_cached;
    mutable Stamp m_cachedStamp;
};

} // namespace platform
