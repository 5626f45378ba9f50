// File handles: reading, writing and moving in an open file. Our stand-in for ReadFile,
// WriteFile, SetFilePointer, GetFileSize, SetEndOfFile, FlushFileBuffers and CloseHandle.
//
// A FileHandle is a file descriptor; kInvalidFile (-1) is the invalid handle. Handles may be
// used from any thread, one thread at a time per handle. Every function here is thread-safe and
// holds no state but the calling thread's last error (file_last_error), which each binary keeps
// for itself: both the game program and libOrv.so may use this header. Opening a file by name
// resolves the name through a listing cache (platform/file.h), which only libOrv.so uses.
//
// Failures set the calling thread's last error to a Win32 code, so callers that report
// GetLastError-style codes keep doing so.
#pragma once

#include <cstdint>

namespace platform {

using FileHandle = int32_t;
constexpr FileHandle kInvalidFile = -1;

// Access rights (a bit set).
constexpr uint32_t kGenericRead = 0x80000000u;
constexpr uint32_t kGenericWrite = 0x40000000u;
// Share modes: accepted and ignored (Linux has no mandatory sharing locks).
constexpr uint32_t kFileShareRead = 1;
constexpr uint32_t kFileShareWrite = 2;
// Creation dispositions.
constexpr uint32_t kCreateNew = 1;         // create; fails when the file exists
constexpr uint32_t kCreateAlways = 2;      // create or empty an existing file
constexpr uint32_t kOpenExisting = 3;      // open; fails when missing
constexpr uint32_t kOpenAlways = 4;        // open, creating it when missing (not emptied)
constexpr uint32_t kTruncateExisting = 5;  // open and empty; fails when missing
// Flags and attributes: accepted and ignored. The kernel's readahead adapts by itself, and a
// random-access hint would switch it off for the member reads that follow an archive lookup.
constexpr uint32_t kFileAttributeNormal = 0x80;
constexpr uint32_t kFileFlagSequentialScan = 0x08000000u;
constexpr uint32_t kFileFlagRandomAccess = 0x10000000u;
// Seek origins.
constexpr uint32_t kFileBegin = 0;
constexpr uint32_t kFileCurrent = 1;
constexpr uint32_t kFileEnd = 2;

// Win32 error codes that file_last_error reports.
constexpr uint32_t kErrorSuccess = 0;
constexpr uint32_t kErrorFileNotFound = 2;
constexpr uint32_t kErrorPathNotFound = 3;
constexpr uint32_t kErrorTooManyOpenFiles = 4;
constexpr uint32_t kErrorAccessDenied = 5;  // also: the name is a folder, not a file
constexpr uint32_t kErrorInvalidHandle = 6;
constexpr uint32_t kErrorNotEnoughMemory = 8;
constexpr uint32_t kErrorWriteProtect = 19;
constexpr uint32_t kErrorDiskFull = 112;
constexpr uint32_t kErrorFileExists = 80;
constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorNegativeSeek = 131;
constexpr uint32_t kErrorInvalidName = 123;  // not valid Shift-JIS, or an empty name
constexpr uint32_t kErrorDirNotEmpty = 145;
constexpr uint32_t kErrorAlreadyExists = 183;

// The calling thread's last file error (a Win32 code); kErrorSuccess after a success that
// sets it. Kept per thread like GetLastError.
uint32_t file_last_error();

// Reads up to size bytes at the file pointer; *done (when given) gets the count, which is less
// than size only at the end of the file. False on an error or a bad handle.
bool file_read(FileHandle file, void* buf, uint32_t size, uint32_t* done);
// Writes size bytes at the file pointer; *done (when given) gets the count written. False
// (kErrorDiskFull for a full disk) unless all of it was written.
bool file_write(FileHandle file, const void* buf, uint32_t size, uint32_t* done);
// Reads size bytes at an absolute position without moving the file pointer. False on an error
// or when fewer than size bytes lie there.
bool file_read_at(FileHandle file, void* buf, uint32_t size, int64_t position);
// Moves the file pointer by distance from method (kFileBegin, kFileCurrent, kFileEnd). Returns
// the new position, or -1 (a position before 0 gives kErrorNegativeSeek and does not move).
int64_t file_seek(FileHandle file, int64_t distance, uint32_t method);
// The file's size in bytes, or -1.
int64_t file_size(FileHandle file);
// Cuts or extends the file at the file pointer (SetEndOfFile).
bool file_set_end(FileHandle file);
// Writes the file's data through to the disk (FlushFileBuffers).
bool file_flush(FileHandle file);
// The file's last-write time in milliseconds since 1970 (UTC).
bool file_get_mtime(FileHandle file, int64_t* unix_ms);
// Sets the file's last-write time (and its access time) to unix_ms.
bool file_set_mtime(FileHandle file, int64_t unix_ms);
// Closes the handle. False for kInvalidFile or a handle that is not open.
bool file_close(FileHandle file);

}  // namespace platform
