#include "commands/file_commands.h"

#include "commands/command_paths.h"
#include "commands/command_util.h"
#include "commands/file_command_list.h"
#include "engine/command_list.h"
#include "engine/dispatch.h"
#include "engine/game_files.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/file_handle.h"
#include "platform/sjis.h"
#include "platform/system_query.h"

namespace engine {

namespace {

constexpr size_t kPathMax = 259;  // a 260-byte path buffer and its terminator
std::string g_append_path;

void set_result(VmContext& vm, uint32_t v) {
  vm_set_result(vm, v);
}

// Cuts a folder path at its last backslash (so "a\b\" gives "a\b" and "a\b\c.exe" "a\b").
std::string cut_at_last_backslash(const std::string& path) {
  const size_t at = path.rfind('\\');
  return at == std::string::npos ? path : path.substr(0, at);
}

uint32_t cmd_file_exist(VmContext& vm) {
  const std::string name = fetch_text(vm, vm_pop(vm));
  FileRange range{};
  const OrvFileHandle f = orv.OrvFileCreate ? orv.OrvFileCreate(name.c_str(), &range) : -1;
  const uint32_t found = f != kOrvInvalidFile;
  if (found) platform::file_close(f);
  set_result(vm, found);
  vm_log(kLogHistory, "[%d] file_exist %s", found, name.c_str());
  return 1;
}

uint32_t cmd_get_file_size(VmContext& vm) {
  const std::string name = fetch_file_name(vm, vm_pop(vm));
  FileRange range{};
  const OrvFileHandle f = orv.OrvFileCreate ? orv.OrvFileCreate(name.c_str(), &range) : -1;
  if (f == kOrvInvalidFile) {
    set_result(vm, static_cast<uint32_t>(-1));
    return 1;
  }
  platform::file_close(f);
  set_result(vm, range.size);
  return 1;
}

uint32_t cmd_remove_file(VmContext& vm) {
  const std::string path = fetch_text(vm, vm_pop(vm), 260);
  const bool ok = orv.OrvFileDelete(command_path(path).c_str());
  set_result(vm, ok);
  if (ok) {
    vm_log(kLogHistory, "Delete %s", path.c_str());
  } else {
    vm_log(kLogMain, "Can't Delete %s", path.c_str());
  }
  return 1;
}

uint32_t cmd_rename_file(VmContext& vm) {
  const std::string from = fetch_text(vm, vm_pop(vm), 260);
  const std::string to = fetch_text(vm, vm_pop(vm), 260);
  const bool ok = orv.OrvFileMove(command_path(from).c_str(), command_path(to).c_str());
  set_result(vm, ok);
  if (ok) {
    vm_log(kLogHistory, "Rename %s %s", from.c_str(), to.c_str());
  } else {
    vm_log(kLogMain, "Can't Rename %s %s", from.c_str(), to.c_str());
  }
  return 1;
}

// The three folder queries: dest gets the folder text.
uint32_t folder_query(VmContext& vm, const std::string& folder, const char* what) {
  const uint32_t dest = vm_pop(vm);
  if (!is_string_handle(dest)) {
    vm_log(kLogMain, "%s : " CMD_NOT_STRING_TYPE, what);
    set_result(vm, 0);
    return 1;
  }
  if (char* slot = slot_of(vm, dest)) {
    slot_store(slot, folder);
  } else {
    AdvGetVarString(vm, dest & ~kStringHandleBit);
  }
  set_result(vm, 1);
  vm_log(kLogHistory, "%s %s", what, folder.c_str());
  return 1;
}
uint32_t cmd_get_temp_folder(VmContext& vm) {
  std::string temp = platform::temp_folder_sjis();
  temp.resize(sjis_clamp(temp, kPathMax));
  return folder_query(vm, cut_at_last_backslash(temp), "Get Temp Folder");
}
uint32_t cmd_get_save_folder(VmContext& vm) {
  return folder_query(vm, command_save_folder(), "Get Save Folder");
}
uint32_t cmd_get_exe_folder(VmContext& vm) {
  return folder_query(vm, command_program_folder(), "Get Exe Folder");
}

bool append_bytes(const std::string& sjis_path, uint32_t disposition, const std::string& bytes,
                  uint32_t* written) {
  const platform::FileHandle f =
      orv.OrvFileOpen(command_path(sjis_path).c_str(), platform::kGenericWrite, 0, disposition,
                      platform::kFileAttributeNormal | platform::kFileFlagSequentialScan, nullptr);
  if (f == platform::kInvalidFile) return false;
  platform::file_seek(f, 0, platform::kFileEnd);
  uint32_t done = 0;
  if (!bytes.empty())
    platform::file_write(f, bytes.data(), static_cast<uint32_t>(bytes.size()), &done);
  platform::file_close(f);
  if (written) *written = done;
  return true;
}

uint32_t cmd_text_file_save(VmContext& vm) {
  const std::string path = fetch_text(vm, vm_pop(vm));
  const uint32_t text_ref = vm_pop(vm);
  const std::string text = fetch_text(vm, text_ref);
  uint32_t written = 0;
  if (!append_bytes(path, platform::kOpenAlways, text_save_convert(text), &written)) {
    set_result(vm, 0);
    vm_log(kLogMain, "Text File Save error [%s]", path.c_str());
    return 1;
  }
  set_result(vm, written);
  vm_log(kLogHistory, "Text File Save [%s][%s]", path.c_str(), text.c_str());
  return 1;
}

// truncate_file and append_set_file: the handle's text becomes the append path.
bool take_append_path(VmContext& vm, const char* name) {
  const uint32_t value = vm_pop(vm);
  if (!is_string_handle(value)) {
    // "引数がstring型ではありません"
    vm_log(kLogMain,
           "%s \x88\xf8\x90\x94\x82\xaastring\x8c^\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82"
           "\xdc\x82\xb9\x82\xf1",
           name);
    set_result(vm, 0);
    return false;
  }
  const std::string text(slot_text(AdvGetVarString(vm, value & ~kStringHandleBit)));
  g_append_path = text.substr(0, sjis_clamp(text, kPathMax));
  return true;
}

uint32_t cmd_truncate_file(VmContext& vm) {
  if (!take_append_path(vm, "truncate_file")) return 0;
  if (!g_append_path.empty()) append_bytes(g_append_path, platform::kCreateAlways, {}, nullptr);
  return 1;
}

uint32_t cmd_append_set_file(VmContext& vm) {
  return take_append_path(vm, "append_set_file") ? 1 : 0;
}

uint32_t cmd_append_file(VmContext& vm) {
  const std::string text = fetch_text(vm, vm_pop(vm));
  // Text mode: every LF goes out as CR LF, the added line end too.
  std::string bytes;
  for (char c : text) {
    if (c == '\n') bytes.push_back('\r');
    bytes.push_back(c);
  }
  bytes += "\r\n";
  if (g_append_path.empty() ||
      !append_bytes(g_append_path, platform::kOpenAlways, bytes, nullptr)) {
    vm_log(kLogMain, "append_file open error %s", g_append_path.c_str());
    set_result(vm, 0);
    return 0;
  }
  set_result(vm, 1);
  vm_log(kLogHistory, "[%d]append_file %s", static_cast<int32_t>(text.size()), text.c_str());
  return 1;
}

uint32_t cmd_dir_exist(VmContext& vm) {
  const std::string path = fetch_text(vm, vm_pop(vm));
  if (path.size() >= 260) {
    vm_log(kLogMain, "dir_exist: param size over");
    set_result(vm, 0);
    return 0;
  }
  uint32_t found = 0;
  for (const FoundFile& e : game_files_find(command_path(path))) {
    if (e.is_folder) {
      found = 1;
      break;
    }
  }
  set_result(vm, found);
  vm_log(kLogHistory, "[%d] dir_exist %s", found, path.c_str());
  return 1;
}

uint32_t cmd_app_exec(VmContext& vm) {
  const std::string target = fetch_file_name(vm, vm_pop(vm));
  vm_log(kLogHistory, "app_exec  %s", target.c_str());
  if (!platform::desktop_available()) {
    vm_log(kLogMain, "app_exec: no desktop to open %s on", target.c_str());
    return 1;
  }
  // An address goes as it is; a file is taken relative to the program's folder unless absolute.
  std::string native;
  if (target.compare(0, 4, "http") == 0) {
    native = platform::sjis_to_utf8_lossy(target);
  } else if (!target.empty() && (target[0] == '\\' || target[0] == '/')) {
    native = game_file_native_path(target);
  } else {
    native = game_file_native_path(command_program_folder() + "\\" + target);
  }
  platform::shell_open(native);
  return 1;
}

}  // namespace

const std::string& append_path() {
  return g_append_path;
}

std::string text_save_convert(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == '\'') {
      out.push_back('"');
      ++i;
    } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += "\r\n";
      ++i;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

namespace {
const CommandEntry kFileCommands[] = {FILE_COMMANDS(COMMAND_ENTRY)};
}  // namespace

const CommandList file_commands = command_list(kFileCommands);

}  // namespace engine
