// The exception bases of the module. Messages are Windows-1251 texts shown to the user as
// they stand.
#pragma once

#include "codepage.h"

#include <exception>

// The general base of every error the module raises on purpose.
class Exception : public std::exception {
public:
    explicit Exception(AnsiString message) : m_message(std::move(message)) {}
    const AnsiString& Message() const noexcept { return m_message; }
    const char* what() const noexcept override { return m_message.c_str(); }

private:
    AnsiString m_message;
};

// Expected failures that the user can act on: host errors, coordinate-system errors, bad input.
class EUserError : public Exception {
public:
    using Exception::Exception;
};

// The message of any exception the module catches at a boundary.
inline AnsiString ExceptionMessage(const std::exception& e) {
    if (auto* own = dynamic_cast<const Exception*>(&e))
        return own->Message();
    return e.what();
}
