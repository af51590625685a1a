// Run-time errors: every failure the program does not trap travels as a RuntimeError carrying
// the platform's error number and its usual text.
#pragma once
#include <stdexcept>
#include <string>

namespace rt {

// The error numbers the program meets.
enum ErrorNumber : int {
    ErrInvalidCall = 5,        // Invalid procedure call or argument
    ErrOverflow = 6,           // Overflow
    ErrOutOfMemory = 7,        // Out of memory
    ErrSubscript = 9,          // Subscript out of range
    ErrDivisionByZero = 11,    // Division by zero
    ErrTypeMismatch = 13,      // Type mismatch
    ErrInternal = 51,          // Internal error
    ErrFileNotFound = 53,      // File not found
    ErrBadFileMode = 54,       // Bad file mode
    ErrFileAlreadyOpen = 55,   // File already open
    ErrInputPastEnd = 62,      // Input past end of file
    ErrBadFileNumber = 52,     // Bad file name or number
    ErrTooManyFiles = 67,      // Too many files
    ErrPermissionDenied = 70,  // Permission denied
    ErrPathFileAccess = 75,    // Path/File access error
    ErrPathNotFound = 76,      // Path not found
    ErrInvalidPropertyValue = 380,  // Invalid property value
    ErrInvalidPropertyIndex = 381,  // Invalid property array index
    ErrObjectRequired = 424,   // Object required
    ErrObjectNotSet = 91,      // Object variable or With block variable not set
    ErrAutomation = 440,       // Automation error (a failed platform object call)
    ErrInvalidPicture = 481,   // Invalid picture
};

// The usual text of an error number ("Application-defined or object-defined error" when unknown).
std::string ErrorText(int number);

class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(int number);
    RuntimeError(int number, const std::string& text);
    int Number() const noexcept { return number_; }
    const std::string& Text() const noexcept { return text_; }
    // What the error is about (a file, a folder, a line, a value), one line; "" when unknown.
    const std::string& Detail() const noexcept { return detail_; }
    // Puts `context` in front of the detail: "context: detail", or `context` alone while there
    // is no detail yet. Callers on the way up name the file around an inner line or value.
    void AddContext(const std::string& context);

private:
    int number_;
    std::string text_;
    std::string detail_;
};

// Raises run-time error `number` with its usual text.
[[noreturn]] void Raise(int number);
// Raises run-time error `number` with a text of the caller's (a platform call's own message).
[[noreturn]] void Raise(int number, const std::string& text);
// Raises run-time error `number` with its usual text and `detail` saying what it is about.
[[noreturn]] void RaiseAbout(int number, const std::string& detail);

}  // namespace rt
