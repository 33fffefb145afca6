// The machine's serial ports as sysfs lists them (core/ComSystem.h).
#include "serial/core/ComSystem.h"

#include "platform/AsciiCase.h"
#include "platform/FileDescriptor.h"
#include "platform/SysRoot.h"
#include "serial/core/ComError.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace cport {

namespace {

struct DirectoryCloser {
    void operator()(DIR* directory) const { closedir(directory); }
};
using Directory = std::unique_ptr<DIR, DirectoryCloser>;

[[noreturn]] void raiseListingError(int error)
{
    throw EComPort(ecRegistry, error);
}

bool hasDriver(int ttyFolder, const std::string& name)
{
    struct stat info { };
    return fstatat(ttyFolder, (name + "/device/driver").c_str(), &info, 0) == 0;
}

// The serial core lists every UART it was configured for; those where no hardware answered
// have type 0 (PORT_UNKNOWN). Opening one to find out is not an option: that raises DTR.
bool isPlaceholderUart(int ttyFolder, const std::string& name)
{
    const platform::FileDescriptor file(
        openat(ttyFolder, (name + "/type").c_str(), O_RDONLY | O_CLOEXEC));
    if (!file.valid())
        return false;
    char buffer[16];
    const ssize_t count = read(file.get(), buffer, sizeof buffer);
    if (count <= 0)
        return false;
    std::string_view text(buffer, std::size_t(count));
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.remove_suffix(1);
    return text == "0";
}

} // namespace

void sortPortNames(std::vector<std::string>& names)
{
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = platform::compareIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

void listSerialPorts(std::vector<std::string>& target)
{
    const Directory folder(opendir(platform::underSysRoot("/sys/class/tty").c_str()));
    if (!folder)
        raiseListingError(errno);
    const int descriptor = dirfd(folder.get());
    std::vector<std::string> names;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(folder.get());
        if (!entry) {
            if (errno != 0)
                raiseListingError(errno);
            break;
        }
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        if (hasDriver(descriptor, name) && !isPlaceholderUart(descriptor, name))
            names.push_back(name);
    }
    sortPortNames(names);
    target = std::move(names);
}

} // namespace cport
