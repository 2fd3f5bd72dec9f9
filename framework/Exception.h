// The exception classes of the framework. Every error the framework raises is an
// Exception with a readable message; the descendants let callers catch one family.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace vardak {

class Exception : public std::exception {
public:
    explicit Exception(std::string message);

    const std::string& message() const noexcept { return message_; }
    const char* what() const noexcept override { return message_.c_str(); }
    virtual std::string_view className() const noexcept { return "Exception"; }

private:
    std::string message_;
};

#define VARDAK_EXCEPTION_CLASS(Name, Base)                                       \
    class Name : public Base {                                                   \
    public:                                                                      \
        using Base::Base;                                                        \
        std::string_view className() const noexcept override { return #Name; }        \
    }

// Text that is not a number, a set member or a value of the wanted type.
VARDAK_EXCEPTION_CLASS(EConvertError, Exception);
// A list index out of range, or an operation a list does not allow.
VARDAK_EXCEPTION_CLASS(EListError, Exception);
VARDAK_EXCEPTION_CLASS(EStringListError, Exception);
// Component names: invalid or already taken among the siblings.
VARDAK_EXCEPTION_CLASS(EComponentError, Exception);
VARDAK_EXCEPTION_CLASS(EInvalidOperation, Exception);
VARDAK_EXCEPTION_CLASS(ERegistryException, Exception);
VARDAK_EXCEPTION_CLASS(EIniFileException, Exception);
// Files that cannot be read or written.
VARDAK_EXCEPTION_CLASS(EStreamError, Exception);
VARDAK_EXCEPTION_CLASS(EFOpenError, EStreamError);
VARDAK_EXCEPTION_CLASS(EFCreateError, EStreamError);

#undef VARDAK_EXCEPTION_CLASS

}  // namespace vardak
