#pragma once
// Exception kinds shared by every part of the program. Failures are raised, not returned;
// every GUI handler catches them and hands them to the default error report.

#include <exception>
#include <string>

namespace platform {

// Base of every exception the program raises: an 8-bit message and a help context.
class Exception : public std::exception {
public:
    explicit Exception(std::string message, int helpContext = 0)
        : m_message(std::move(message))
        , m_helpContext(helpContext)
    {
    }
    const char* what() const noexcept override { return m_message.c_str(); }
    const std::string& message() const noexcept { return m_message; }
    int helpContext() const noexcept { return m_helpContext; }
    // The class name shown in reports such as "Exception %s in module %s at %p.".
    virtual const char* className() const noexcept { return "Exception"; }

private:
    std::string m_message;
    int m_helpContext;
};

// The silent kind: it ends what is running and nobody shows it.
class EAbort : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EAbort"; }
};

// A runtime I/O failure with its numbered code (see IoError.h for the texts).
class EInOutError : public Exception {
public:
    EInOutError(int errorCode, std::string message)
        : Exception(std::move(message))
        , m_errorCode(errorCode)
    {
    }
    int errorCode() const noexcept { return m_errorCode; }
    const char* className() const noexcept override { return "EInOutError"; }

private:
    int m_errorCode;
};

// Building the window from its stored description failed.
class EReadError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EReadError"; }
};

// A text could not be converted to a value, or one object could not be assigned to another.
class EConvertError : public Exception {
public:
    using Exception::Exception;
    const char* className() const noexcept override { return "EConvertError"; }
};

// The class name of any exception: ours report their own, others a generic one.
const char* exceptionClassName(const std::exception& error) noexcept;

} // namespace platform
