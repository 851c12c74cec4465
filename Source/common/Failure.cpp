#include "common/Failure.h"

namespace kestrane {

std::string Failure::standardDescription(int number)
{
    switch (number) {
    case InvalidProcedureCall: return "Invalid procedure call or argument";
    case Overflow: return "Overflow";
    case SubscriptOutOfRange: return "Subscript out of range";
    case DivisionByZero: return "Division by zero";
    case TypeMismatch: return "Type mismatch";
    case BadFileNameOrNumber: return "Bad file name or number";
    case FileNotFound: return "File not found";
    case DeviceIOError: return "Device I/O error";
    case DiskFull: return "Disk full";
    case PermissionDenied: return "Permission denied";
    case PathFileAccessError: return "Path/File access error";
    case PathNotFound: return "Path not found";
    case FormCannotMove: return "A form can't be moved or sized while minimized or maximized";
    case FileNameTooLong: return "The selected path is longer than the file dialog accepts";
    case CancelSelected: return "Cancel was selected.";
    default: return "Application-defined or object-defined error";
    }
}

Failure::Failure(int number) : Failure(number, standardDescription(number)) {}

Failure::Failure(int number, const std::string &description)
    : std::runtime_error(description), m_number(number)
{
}

} // namespace kestrane
