#include "Orv/core/widgets/file_browser.h"

#include <algorithm>
#include <cstring>

#include "Orv/core/handle_table.h"
#include "Orv/core/widgets/widget_record.h"
#include "Orv/core/widgets/widgets.h"
#include "Orv/core/window/process.h"
#include "orv/orv.h"
#include "platform/file.h"
#include "platform/message_box.h"
#include "platform/sjis.h"
#include "platform/user_folders.h"

namespace {

// "開く", "保存", "キャンセル", "ファイル名:", "ファイルの種類:"
constexpr char kOpen[] =
    "\x8a"
    "J\x82\xad";
constexpr char kSave[] = "\x95\xdb\x91\xb6";
constexpr char kCancel[] = "\x83L\x83\x83\x83\x93\x83Z\x83\x8b";
constexpr char kNameLabel[] = "\x83t\x83@\x83\x43\x83\x8b\x96\xbc:";
constexpr char kTypeLabel[] = "\x83t\x83@\x83\x43\x83\x8b\x82\xcc\x8e\xed\x97\xde:";
// "ファイルを開く", "名前を付けて保存": the captions when the script gives none.
constexpr char kOpenCaption[] =
    "\x83t\x83@\x83\x43\x83\x8b\x82\xf0\x8a"
    "J\x82\xad";
constexpr char kSaveCaption[] = "\x96\xbc\x91O\x82\xf0\x95t\x82\xaf\x82\xc4\x95\xdb\x91\xb6";
// "%s は既に存在します。\n上書きしますか？"
constexpr char kReplace[] =
    " \x82\xcd\x8a\xf9\x82\xc9\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\n\x8f\xe3\x8f\x91"
    "\x82\xab\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81H";
// "%sファイル(*.%s)", "全てのファイル(*.*)"
constexpr char kFileKind[] = "\x83t\x83@\x83\x43\x83\x8b(*.";
constexpr char kAllFiles[] = "\x91S\x82\xc4\x82\xcc\x83t\x83@\x83\x43\x83\x8b(*.*)";

constexpr uint32_t kFlagOverwritePrompt = 0x2;
constexpr uint32_t kFlagFileMustExist = 0x1000;

enum : int32_t { kIdFolder = 10, kIdList = 11, kIdName = 12, kIdType = 13 };

bool ascii_iequal(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// The byte offset of the last separator that is not a trail byte, or npos.
size_t last_separator(const std::string& path) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < path.size();) {
    if (platform::sjis_is_lead(static_cast<uint8_t>(path[i]))) {
      i += 2;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/') last = i;
    ++i;
  }
  return last;
}

bool has_extension(const std::string& name) {
  const size_t sep = last_separator(name);
  const size_t dot = name.rfind('.');
  return dot != std::string::npos && (sep == std::string::npos || dot > sep);
}

bool file_exists(const std::string& path) {
  const std::vector<platform::DirEntry> found = platform::find_files(path.c_str());
  return !found.empty() && !found.front().is_folder;
}

std::string widget_text(OrvHandle h, int32_t id) {
  char buf[1024];
  const int32_t n = OrvWidgetGetText(h, id, buf, sizeof buf);
  return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
}

// The selected entry of the list, or null.
const FileBrowser::Entry* selected_entry(OrvHandle h, const FileBrowser& b) {
  WidgetState& st = widget_state();
  std::lock_guard<std::mutex> lock(st.mutex);
  auto* w = static_cast<Widget*>(orv_handles().get(h, HandleKind::kWidget));
  if (!w) return nullptr;
  for (const Control& c : w->controls) {
    if (c.id == kIdList && c.selected >= 0 && c.selected < static_cast<int32_t>(b.entries.size())) {
      return &b.entries[c.selected];
    }
  }
  return nullptr;
}

void show_listing(OrvHandle h, FileBrowser& b) {
  browser_list(b);
  OrvWidgetSetText(h, kIdFolder, b.folder.c_str());
  OrvWidgetAddItem(h, kIdList, nullptr);
  for (const FileBrowser::Entry& e : b.entries) {
    OrvWidgetAddItem(h, kIdList, browser_label(e).c_str());
  }
  OrvWidgetSelect(h, kIdList, -1);
}

}  // namespace

void browser_list(FileBrowser& b) {
  b.entries.clear();
  const std::vector<platform::DirEntry> found = platform::find_files((b.folder + "\\*").c_str());
  if (b.folder != "\\") b.entries.push_back({"..", true});
  for (const platform::DirEntry& e : found) {
    if (e.is_folder && e.name != "." && e.name != "..") b.entries.push_back({e.name, true});
  }
  for (const platform::DirEntry& e : found) {
    if (e.is_folder) continue;
    const size_t dot = e.name.rfind('.');
    const bool match = b.all_files || (dot != std::string::npos &&
                                       ascii_iequal(e.name.substr(dot + 1), b.extension));
    if (match) b.entries.push_back({e.name, false});
  }
}

void browser_enter(FileBrowser& b, const std::string& name) {
  if (name == "..") {
    const size_t sep = last_separator(b.folder);
    if (sep == std::string::npos || b.folder == "\\") return;
    b.folder = sep == 0 ? "\\" : b.folder.substr(0, sep);
  } else {
    b.folder = browser_path(b, name);
  }
  browser_list(b);
}

std::string browser_path(const FileBrowser& b, const std::string& name) {
  return b.folder == "\\" ? "\\" + name : b.folder + "\\" + name;
}

std::string browser_label(const FileBrowser::Entry& e) {
  return e.is_folder ? "[" + e.name + "]" : e.name;
}

std::string browser_start_folder(int32_t /*folder_id*/) {
  std::string folder = platform::utf8_to_sjis_path(platform::documents_folder_utf8());
  std::replace(folder.begin(), folder.end(), '/', '\\');  // ASCII-only escapes: no trail bytes
  const std::vector<platform::DirEntry> found = platform::find_files(folder.c_str());
  if (folder.empty() || found.empty() || !found.front().is_folder) {
    const char* program = OrvGetFilePath();
    folder = program ? program : "";
  }
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder.empty() ? "\\" : folder;
}

extern "C" int32_t OrvFileDialog(int32_t save, const char* title, const char* extension,
                                 uint32_t flags, int32_t folder_id, char* path, int32_t size) {
  if (!path || size <= 0) return 0;
  FileBrowser b;
  b.extension = extension ? extension : "";
  b.folder = browser_start_folder(folder_id);
  std::string initial(path, strnlen(path, static_cast<size_t>(size)));
  const size_t sep = last_separator(initial);
  if (sep != std::string::npos) {  // an initial name with a folder starts there
    b.folder = sep == 0 ? "\\" : initial.substr(0, sep);
    initial.erase(0, sep + 1);
  }
  const std::string caption = title && *title ? title : save ? kSaveCaption : kOpenCaption;
  // In the proportional Gothic, as the system's file dialogs are.
  const OrvHandle h = OrvWidgetCreate(1, 0, 0, 480, 340, 16, 2, caption.c_str());
  if (!h) return 0;
  const std::string kind = b.extension + kFileKind + b.extension + ")";
  OrvWidgetAddControl(h, kIdFolder, 3, 8, 8, 464, 18, 0, 0, "");
  OrvWidgetAddControl(h, kIdList, 6, 8, 30, 464, 200, kStyleTabStop, 0, nullptr);
  OrvWidgetAddControl(h, 0, 3, 8, 242, 110, 18, 0, 0, kNameLabel);
  OrvWidgetAddControl(h, kIdName, 2, 120, 238, 352, 24, kStyleTabStop, 259, initial.c_str());
  OrvWidgetAddControl(h, 0, 3, 8, 272, 110, 18, 0, 0, kTypeLabel);
  OrvWidgetAddControl(h, kIdType, 5, 120, 268, 352, 64, kStyleTabStop, 0, kind.c_str());
  OrvWidgetAddItem(h, kIdType, kind.c_str());
  OrvWidgetAddItem(h, kIdType, kAllFiles);
  OrvWidgetSelect(h, kIdType, 0);
  OrvWidgetAddControl(h, kIdOk, 1, 300, 306, 80, 26, kStyleDefaultButton | kStyleTabStop, 0,
                      save ? kSave : kOpen);
  OrvWidgetAddControl(h, kIdCancel, 1, 392, 306, 80, 26, kStyleTabStop, 0, kCancel);
  show_listing(h, b);
  OrvWidgetShow(h, kIdName);
  int32_t result = 0;
  for (;;) {
    const uint32_t n = OrvWidgetWait(h, 100);
    if (n == 0) continue;
    const int32_t id = static_cast<int32_t>(n & 0xFFFF);
    const uint32_t code = n >> 16;
    if (id == kIdCancel && code == kNoteClicked) break;
    if (id == kIdList && code == kNoteSelChange) {
      const FileBrowser::Entry* e = selected_entry(h, b);
      if (e && !e->is_folder) OrvWidgetSetText(h, kIdName, e->name.c_str());
      continue;
    }
    if (id == kIdType && code == kNoteChange) {
      b.all_files = widget_text(h, kIdType) == kAllFiles;
      show_listing(h, b);
      continue;
    }
    const bool from_list = id == kIdList && code == kNoteDoubleClick;
    if (!from_list && !(id == kIdOk && code == kNoteClicked)) continue;
    std::string name = widget_text(h, kIdName);
    const FileBrowser::Entry* e = selected_entry(h, b);
    if (e && e->is_folder && (from_list || name.empty())) {
      browser_enter(b, e->name);
      show_listing(h, b);
      continue;
    }
    if (from_list && e) name = e->name;
    if (name.empty()) {
      OrvBeep();
      continue;
    }
    std::string chosen = name[0] == '\\' || name[0] == '/' ? name : browser_path(b, name);
    const std::vector<platform::DirEntry> found = platform::find_files(chosen.c_str());
    if (!found.empty() && found.front().is_folder) {  // a folder's name opens it
      b.folder = chosen;
      show_listing(h, b);
      OrvWidgetSetText(h, kIdName, "");
      continue;
    }
    if (save && !b.extension.empty() && !has_extension(name)) chosen += "." + b.extension;
    if (!save && (flags & kFlagFileMustExist) && !file_exists(chosen)) {
      OrvBeep();
      continue;
    }
    if (save && (flags & kFlagOverwritePrompt) && file_exists(chosen)) {
      const std::string question = chosen + kReplace;
      // Without a display the answer is no: nothing of the player's is replaced unasked.
      if (platform::message_box(
              question.c_str(), caption.c_str(),
              platform::kMbYesNo | platform::kMbIconExclamation | platform::kMbTopMost,
              platform::kIdNo) != platform::kIdYes) {
        continue;
      }
    }
    if (chosen.size() + 1 > static_cast<size_t>(size)) {  // the caller's buffer cannot take it
      OrvBeep();
      continue;
    }
    std::memcpy(path, chosen.c_str(), chosen.size() + 1);
    result = 1;
    break;
  }
  OrvWidgetDestroy(h);
  return result;
}
