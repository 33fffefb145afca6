#include "serial/core/ComTransfer.h"

#include <cstring>

namespace cport {

void newTransfer(std::unique_ptr<TComTransfer>& record)
{
    record = std::make_unique<TComTransfer>();
}

void disposeTransfer(std::unique_ptr<TComTransfer>& record)
{
    record.reset();
}

void prepareTransfer(
    TTransferKind kind, const char* bytes, std::int32_t count, TComTransfer& record)
{
    record.kind = kind;
    record.data.reset();
    record.size = 0;
    if (count > 0) {
        record.data = std::make_unique<char[]>(std::size_t(count));
        std::memcpy(record.data.get(), bytes, std::size_t(count));
        record.size = count;
    }
}

} // namespace cport
