#pragma once

#include <stdexcept>
#include <string>

namespace kestrane {

// Failure numbers, in the manner of the classic basic runtime: the commands
// tell a cancelled dialog (CancelSelected) from every other failure by number.
enum FailureNumber : int {
    InvalidProcedureCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    DivisionByZero = 11,
    TypeMismatch = 13,
    BadFileNameOrNumber = 52,
    FileNotFound = 53,
    DeviceIOError = 57,
    DiskFull = 61,
    PermissionDenied = 70,
    PathFileAccessError = 75,
    PathNotFound = 76,
    FormCannotMove = 384,
    ApplicationDefined = 1004, // the spreadsheet layer's own failures
    FileNameTooLong = 20476,
    CancelSelected = 32755,
};

// The one failure type of the program: a number and a description text.
// Commands catch it at their end; message boxes use the description as title.
class Failure : public std::runtime_error {
public:
    // A failure with the standard description of its number.
    explicit Failure(int number);
    // A failure with a description of its own.
    Failure(int number, const std::string &description);

    int number() const noexcept { return m_number; }
    std::string description() const { return what(); }

    // The standard description of a number ("Overflow", "File not found"...).
    static std::string standardDescription(int number);

private:
    int m_number;
};

} // namespace kestrane
