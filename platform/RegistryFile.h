#pragma once
// The registry store on disk. Readers take the file as it is: every write replaces it whole
// by renaming a finished, synced temporary file over it, so a reader sees the old or the new
// store, never a mixture. Writers serialise on an flock() of a separate lock file beside the
// store (registry.reg.lock, left in place) and re-read the store under it, so concurrent
// writers (other objects, other processes) lose nothing.

#include "platform/RegistryTree.h"

#include <functional>
#include <string>

namespace platform {

// $XDG_CONFIG_HOME/quillet/registry.reg; ~/.config when XDG_CONFIG_HOME is unset, empty or
// not an absolute path.
std::string registryStorePath();

class RegistryFile {
public:
    explicit RegistryFile(std::string path);

    const std::string& path() const { return m_path; }

    // The store as the file holds it now; a missing file (or folder) is the empty store.
    // Raises ERegistryFileError when the file cannot be read or parsed.
    RegistryTree load() const;

    // Under the lock: loads the store, lets change edit it and, when change returns true,
    // writes the result. Returns false when change refused or the store could not be written
    // (the file is then unchanged). Raises ERegistryFileError as load() does.
    bool update(const std::function<bool(RegistryTree&)>& change) const;

private:
    bool write(const RegistryTree& tree) const;

    std::string m_path;
};

} // namespace platform
