// Files by their own name, for the game program: the library's side of platform/file.h.
//
// The data-file lookup of file_access.h searches folders and archives by file-name part. The
// game program also opens, tests, moves and deletes files by their exact path (its save and
// player files, INI files, script file commands). Those go through these exports so that every
// name in the process is resolved by one listing cache, the library's (platform/file.h holds
// state and libOrv.so owns it). Names are Shift-JIS with '\' or '/' between folders, matched as
// platform/file.h says (case-insensitively per component). The handles are plain file
// descriptors: the caller reads, writes and closes them with platform/file_handle.h. Any thread.
//
// Exports (orv/exports.h, family "files"):
//
//   OrvFileOpen(name, access, share, disposition, flags, size) -> handle
//     Opens exactly that file (CreateFileA; platform::file_open with the same arguments), no
//     search. *size (when not null) gets the file's size. kOrvInvalidFile on failure.
//   OrvFileExists(name) / OrvFileFolderExists(name) -> 1 / 0
//     1 when the name is an existing regular file / folder.
//   OrvFileMakeFolder(name) -> 1 / 0: creates one folder; its parent must exist; 0 when
//     something of that name exists.
//   OrvFileDelete(name) -> 1 / 0: deletes a file (never a folder).
//   OrvFileMove(from, to) -> 1 / 0: renames without ever replacing an existing `to`.
//   OrvFileReplace(temporary, name) -> 1 / 0: renames the flushed temporary file over name
//     atomically (the last step of writing a file through a temporary one).
//   OrvFileNativePath(out, size, name) -> 1 / 0
//     Writes the UTF-8 path the file system uses for name (existing components as they are
//     on disk) with its terminating zero into out (size bytes). 0 for a name that is not valid
//     Shift-JIS or a path that does not fit.
//   OrvFileFind(pattern, proc, context) -> count
//     FindFirstFile over the pattern's folder ('*' and '?' in its last component, ASCII case
//     ignored, "." and ".." listed when they match): calls proc(name, is_folder, context) for
//     each entry, sorted by name bytes, and returns how many there were. proc may be null.
#pragma once
