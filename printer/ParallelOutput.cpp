#include "printer/ParallelOutput.h"

#include "platform/IoError.h"
#include "platform/LptDevice.h"
#include "printer/DeviceFile.h"
#include "printer/SigpipeBlock.h"

namespace printer {

namespace {

void check(DeviceFile& file)
{
    if (const int code = file.takeError())
        platform::raiseInOutError(code);
}

} // namespace

void sendParallel(const std::string& deviceName, const std::string& bytes)
{
    const SigpipeBlock noSigpipe;
    DeviceFile file;
    file.open(platform::lptDevicePath(deviceName));
    check(file);
    file.write(bytes);
    file.flush();
    check(file);
    file.close();
    check(file);
}

} // namespace printer
