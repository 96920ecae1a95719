#pragma once

#include <QString>
#include <exception>
#include <string>

namespace platform {

// The classic run-time error numbers that messages and hosts rely on.
enum ErrorNumber : int {
    ErrInvalidCall = 5,
    ErrOverflow = 6,
    ErrDivisionByZero = 11,
    ErrTypeMismatch = 13,
    ErrBadFileName = 52,
    ErrFileNotFound = 53,
    ErrFileExists = 58,
    ErrDiskFull = 61,
    ErrInputPastEnd = 62,
    ErrPermissionDenied = 70,
    ErrPathFileAccess = 75,
    ErrPathNotFound = 76,
    ErrInvalidPropertyValue = 380,
    ErrCantCreateObject = 429,
    ErrNoAutomation = 430,
    ErrNoSuchMember = 438,
    ErrAutomation = 440,
    ErrWrongArguments = 450,
};

// A run-time error: a number and a description. Travels as a C++ exception
// inside the system and becomes an EXCEPINFO at the component boundary.
class RuntimeError : public std::exception {
public:
    // The error with the platform's standard description for its number.
    explicit RuntimeError(int number);
    RuntimeError(int number, QString description);

    int number() const noexcept { return m_number; }
    const QString &description() const noexcept { return m_description; }
    const char *what() const noexcept override { return m_what.c_str(); }

    // The standard description of a classic number ("Application-defined or
    // object-defined error" for numbers without one).
    static QString standardDescription(int number);

private:
    int m_number;
    QString m_description;
    std::string m_what;
};

// Maps an errno value from a file operation onto the nearest classic error.
RuntimeError errorFromErrno(int err);

#ifdef _WIN32
// Maps a Windows error code (GetLastError) from a file or process operation
// onto the nearest classic error.
RuntimeError errorFromWindowsError(unsigned long error);
#endif

} // namespace platform
