#pragma once

#include <QString>
#include <optional>
#include <utility>

// An error as core code reports it: a number the callers may test (the classic
// file error numbers where they exist) and the text the user is to be shown.
struct Error {
    int code = 0;
    QString message;
};

namespace ErrorCode {
constexpr int FileNotFound = 53;
constexpr int PathAccess = 75;
constexpr int PermissionDenied = 70;
constexpr int WriteFailed = 57;
constexpr int ReadFailed = 62;
constexpr int BadFormat = 321;
constexpr int FileExists = 58;
// File steps: the platform cannot do it this way (a rename across devices, no
// trash on the volume), so the caller may take another way.
constexpr int NotSupported = 445;
constexpr int Cancelled = 32755;
} // namespace ErrorCode

// A value or an error; core code returns these instead of showing anything.
template <typename T> class Result {
public:
    Result(T value) : m_value(std::move(value)) {}
    Result(Error error) : m_error(std::move(error)) {}

    bool ok() const { return m_value.has_value(); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return *m_value; }
    T& value() { return *m_value; }
    const Error& error() const { return m_error; }

private:
    std::optional<T> m_value;
    Error m_error;
};

// For operations that only succeed or fail.
class Status {
public:
    Status() = default;
    Status(Error error) : m_error(std::move(error)), m_failed(true) {}

    bool ok() const { return !m_failed; }
    explicit operator bool() const { return ok(); }
    const Error& error() const { return m_error; }

private:
    Error m_error;
    bool m_failed = false;
};
