// The built-in file browser that stands in for the system's open and save file dialogs.
//
// A modal dialog (widgets.h) with the current folder, a list of its sub-folders (shown as
// "[name]", "[..]" first for the folder above) and of the files that match the chosen filter
// ("*.ext" of the script's extension, or all files), a file-name field, the filter's combo box,
// and OK and cancel. A double click (or Return) on a folder opens it; on a file chooses it.
// OK with a name chooses folder\name; the save dialog adds the extension to a name without
// one, and asks before replacing a file when the flags ask for it (0x2); the open dialog
// refuses a file that does not exist when the flags ask for it (0x1000), beeping.
//
// Paths are Shift-JIS with '\' separators; the start folder of every folder id is the player's
// documents folder (the data folder that saves use; the system's folder ids have no other
// place here), or the program's folder when that does not exist.
//
// Thread: OrvFileDialog runs on the calling thread (the game thread) and returns when the
// dialog closes; the window thread draws it and feeds it events meanwhile.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The browser's state, apart from the dialog, so that its rules can be tested alone.
struct FileBrowser {
  std::string folder;     // Shift-JIS, '\' separators, no trailing separator (but the root)
  std::string extension;  // the filter's extension, without the dot
  bool all_files = false;
  struct Entry {
    std::string name;
    bool is_folder = false;
  };
  std::vector<Entry> entries;  // as listed: the folder above, folders, then files
};

// Lists the folder into b.entries by the filter.
void browser_list(FileBrowser& b);
// Opens a sub-folder (".." goes up; the root stays); lists it.
void browser_enter(FileBrowser& b, const std::string& name);
// folder\name.
std::string browser_path(const FileBrowser& b, const std::string& name);
// The text an entry has in the list.
std::string browser_label(const FileBrowser::Entry& e);
// The folder a folder id starts in.
std::string browser_start_folder(int32_t folder_id);
