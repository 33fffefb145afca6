#pragma once
// The message of the <Error> an operation throws, or "no error" when it throws none.

#include <string>

namespace testsupport {

template <typename Error, typename Operation> std::string errorOf(Operation operation)
{
    try {
        operation();
    } catch (const Error& error) {
        return error.what();
    }
    return "no error";
}

} // namespace testsupport
