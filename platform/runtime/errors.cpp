#include "errors.h"

namespace rt {

std::string ErrorText(int number) {
    switch (number) {
        case ErrInvalidCall: return "Invalid procedure call or argument";
        case ErrOverflow: return "Overflow";
        case ErrOutOfMemory: return "Out of memory";
        case ErrSubscript: return "Subscript out of range";
        case ErrDivisionByZero: return "Division by zero";
        case ErrTypeMismatch: return "Type mismatch";
        case ErrInternal: return "Internal error";
        case ErrBadFileNumber: return "Bad file name or number";
        case ErrFileNotFound: return "File not found";
        case ErrBadFileMode: return "Bad file mode";
        case ErrFileAlreadyOpen: return "File already open";
        case ErrInputPastEnd: return "Input past end of file";
        case ErrPathNotFound: return "Path not found";
        case ErrTooManyFiles: return "Too many files";
        case ErrPermissionDenied: return "Permission denied";
        case ErrPathFileAccess: return "Path/File access error";
        case ErrInvalidPropertyValue: return "Invalid property value";
        case ErrInvalidPropertyIndex: return "Invalid property array index";
        case ErrInvalidPicture: return "Invalid picture";
        case ErrObjectNotSet: return "Object variable or With block variable not set";
        case ErrObjectRequired: return "Object required";
        case ErrAutomation: return "Automation error";
        default: return "Application-defined or object-defined error";
    }
}

RuntimeError::RuntimeError(int number) : RuntimeError(number, ErrorText(number)) {}

RuntimeError::RuntimeError(int number, const std::string& text)
    : std::runtime_error("Run-time error '" + std::to_string(number) + "': " + text),
      number_(number),
      text_(text) {}

void RuntimeError::AddContext(const std::string& context) {
    detail_ = detail_.empty() ? context : context + ": " + detail_;
}

void Raise(int number) { throw RuntimeError(number); }
void RaiseAbout(int number, const std::string& detail) {
    RuntimeError e(number);
    e.AddContext(detail);
    throw e;
}
void Raise(int number, const std::string& text) { throw RuntimeError(number, text); }

}  // namespace rt
