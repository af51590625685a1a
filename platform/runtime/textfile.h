// Text-file input by lines, with the platform's file numbers and open errors.
//
// A file is read as a stream, so its size is not limited; only one line's length is. A line ends at
// CR LF or at a lone CR; a lone LF does not end a line and stays part of it; the break is not part
// of the line. The last line needs no break.
#pragma once
#include <cstddef>
#include <string>

#include "types.h"

namespace rt {

// Highest file number the program may use.
constexpr int MaxFileNumber = 255;

// Longest line that is read; a world row of 32767 cells takes a few hundred kilobytes.
constexpr size_t MaxTextLineBytes = size_t{16} << 20;

// The lowest file number not in use; raises ErrTooManyFiles when all are taken.
int FreeFile();

// Opens the file `path` (written with either separator, mapped by HostPath) for reading text as
// `fileNumber`. Raises ErrBadFileNumber for a number outside 1..MaxFileNumber, ErrFileAlreadyOpen
// when the number is already open, ErrPathNotFound when the folder does not exist, ErrFileNotFound
// when the file does not exist, ErrPathFileAccess when the path names a folder, a device, a FIFO or
// anything else that is not a regular file, or cannot be read, ErrPermissionDenied when reading is
// not permitted.
void OpenForInput(int fileNumber, const std::string& path);

// The next line of open file `fileNumber`. Raises ErrInputPastEnd past the last line,
// ErrBadFileNumber for a number that is not open, ErrOutOfMemory for a line longer than
// MaxTextLineBytes (the detail names the line), ErrPathFileAccess when reading fails.
std::string LineInput(int fileNumber);

// The length in bytes of open file `fileNumber` when it was opened; raises ErrBadFileNumber for a
// number that is not open.
unsigned long long LOF(int fileNumber);

// True when a line read so far from `fileNumber` held a line feed without a carriage return
// before it, as every line of a file whose lines end in LF alone does; raises ErrBadFileNumber for a
// number that is not open.
bool SawLoneLineFeed(int fileNumber);

// True when every line of `fileNumber` has been read; raises ErrBadFileNumber for a number that is
// not open.
Boolean EOF_(int fileNumber);

// Closes `fileNumber`; closing a number that is not open does nothing.
void Close(int fileNumber);
// Closes every open file.
void CloseAll();

// Closes a file number when the scope ends, also when an error passes through.
class FileCloser {
public:
    explicit FileCloser(int fileNumber) : n_(fileNumber) {}
    ~FileCloser() { Close(n_); }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;

private:
    int n_;
};

}  // namespace rt
