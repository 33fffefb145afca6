#include "FakeUsbDriver.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <filesystem>

namespace testsupport {

FakeUsbDriver::FakeUsbDriver(const std::string& interfaceFolder)
    : m_link(interfaceFolder + "/driver")
{
    std::error_code error;
    m_target = std::filesystem::read_symlink(m_link, error);
}

std::string FakeUsbDriver::bound() const
{
    std::error_code error;
    const auto target = std::filesystem::read_symlink(m_link, error);
    return m_link.empty() || error ? std::string() : target.filename().string();
}

long FakeUsbDriver::answer(gulong request, UMockdevIoctlData* arg, int& error)
{
    if (request == USBDEVFS_IOCTL) {
        UMockdevIoctlData* command
            = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_ioctl), nullptr);
        return disconnectOrConnect(
            reinterpret_cast<usbdevfs_ioctl*>(command->data)->ioctl_code, error);
    }
    std::string name = bound();
    if (name.empty()) {
        error = ENODATA;
        return -1;
    }
    UMockdevIoctlData* reply
        = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_getdriver), nullptr);
    name.resize(USBDEVFS_MAXDRIVERNAME + 1, '\0');
    umockdev_ioctl_data_update(reply, offsetof(usbdevfs_getdriver, driver),
        reinterpret_cast<guint8*>(name.data()), static_cast<gint>(name.size()));
    return 0;
}

// CONNECT gives 1 when a driver was bound, as the kernel's does.
long FakeUsbDriver::disconnectOrConnect(int code, int& error)
{
    const bool isBound = !bound().empty();
    std::error_code ignored;
    if (code == static_cast<int>(USBDEVFS_DISCONNECT) && isBound) {
        std::filesystem::remove(m_link, ignored);
        return 0;
    }
    if (code == static_cast<int>(USBDEVFS_CONNECT) && !m_link.empty() && !isBound) {
        std::filesystem::create_symlink(m_target, m_link, ignored);
        return 1;
    }
    error = code == static_cast<int>(USBDEVFS_DISCONNECT)       ? ENODATA
        : code == static_cast<int>(USBDEVFS_CONNECT) && isBound ? EBUSY
                                                                : EINVAL;
    return -1;
}

} // namespace testsupport
