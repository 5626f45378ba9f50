// File access: data files found by name along the search folders, loose or inside .pac
// archives.
//
// A data file is found by its file-name part only (the folders in the request are ignored),
// upper-cased: in each search folder, newest first, then in the base folder. In each folder the
// file may lie loose, or inside the folder's archive (the folder's path with ".pac" appended,
// beside the folder); loose wins. A name that begins with '\' or '/' is absolute and is looked
// up only in its own folder. The caller always gets a plain file handle (platform/file.h)
// positioned at the data, and a FileRange that says where the data begins and ends, so loose
// files and archive members are read alike. The caller closes the handle (platform::file_close).
//
// Exports (orv/exports.h, family "files"):
//
//   OrvFileCreateEx(name, access, share, disposition, flags, range) -> handle
//     Finds and opens the file. A loose file is opened with the caller's access, share,
//     disposition and flags (platform::file_open); an archive always for reading. Fills *range
//     ({0, size, size} for a loose file). Not found: kOrvInvalidFile and *range zeroed; nothing
//     is logged (callers log in their own words). Any thread; lookups share nothing.
//   OrvFileCreate(name, range) -> handle
//     OrvFileCreateEx for reading, sequential scan.
//   OrvFileGetFullPath(out, size, name) -> 1 / 0
//     Finds the file as OrvFileCreate does (closing it again) and writes the folder where it
//     was found, a '\' and the name's file-name part into out (size bytes, zeroed first). An
//     absolute name is tried in its own folder, then in the base folder. 0 when not found or
//     when the path and its terminating zero do not fit. A member of an archive gives the path
//     it would have loose.
//   OrvFileSetFilePointer(file, low, high, unused, method) -> 1
//     Moves the file pointer by the 64-bit distance high:low (so a move backwards by n passes
//     high = -1) from method (0 begin, 1 current, 2 end). Always 1, as the original.
//   OrvSystemPathInit() -> 1 / 0
//     Fills the base folder when it is empty (the program's folder) and starts an empty search
//     list; folders of a list that existed are freed. Window thread, at start-up.
//   OrvSystemPathSet(folder) -> 1 / 0
//     Puts a search folder in front of all others; a relative folder is taken under the base
//     folder. 0 when out of memory or when there is no list (OrvSystemPathInit not called).
//   OrvSystemPathClear() -> 1 / 0: removes every search folder; 0 when there is no list.
//   OrvSystemPathUninit() -> 1 / 0: removes the folders and the list; 0 when there is none.
#pragma once

#include <string>

#include "orv/types.h"

// The base folder (Shift-JIS, '\' separators, no trailing separator): the program's folder
// once OrvSystemPathInit ran, else empty. OrvGetFilePath returns this pointer; the text stays
// put for the whole run.
const char* file_base_folder();

// Sets the base folder (tests and tools that run outside a program folder). A folder of 260
// bytes or more is refused. Call before other threads look files up.
bool file_set_base_folder(const char* sjis_folder);

// True when the name counts as absolute: it begins with '\' or '/'.
bool file_path_is_absolute(const char* sjis_path);
