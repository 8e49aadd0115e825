#pragma once

#include <QString>

#include <utility>
#include <variant>

namespace tessera {

// An expected failure: a code the caller can branch on and a message for the user.
struct Error {
    int code = 0;
    QString message;
};

// A value or an Error (C++20 has no std::expected yet). An ignored Result is a failure
// nobody hears of, so the compiler warns about one (LLVM's Error must be checked likewise).
template<typename T> class [[nodiscard]] Result {
public:
    // Implicit both ways, so a function returns its value or an Error directly.
    // NOLINTNEXTLINE(google-explicit-constructor)
    Result(T value)
        : m_data(std::move(value))
    { }
    // NOLINTNEXTLINE(google-explicit-constructor)
    Result(Error error)
        : m_data(std::move(error))
    { }

    bool ok() const { return m_data.index() == 0; }
    explicit operator bool() const { return ok(); }

    T &value() & { return std::get<0>(m_data); }
    const T &value() const & { return std::get<0>(m_data); }
    T &&value() && { return std::get<0>(std::move(m_data)); }
    const Error &error() const { return std::get<1>(m_data); }

    T *operator->() { return &value(); }
    const T *operator->() const { return &value(); }
    T &operator*() & { return value(); }
    const T &operator*() const & { return value(); }

private:
    std::variant<T, Error> m_data;
};

// Result of an operation that yields nothing but success or an Error.
struct Ok { };
using Status = Result<Ok>;

} // namespace tessera
