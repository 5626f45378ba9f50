#include "ui/dialogs/dialogs.h"

#include <cstdio>

#include "commands/command_util.h"
#include "commands/string_commands.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "platform/message_box.h"
#include "shared/sjis_units.h"
#include "ui/dialogs/dialog_boxes.h"
#include "ui/dialogs/dialog_command_list.h"
#include "ui/dialogs/dialog_text.h"

namespace ui {

using engine::VmContext;

namespace {

// "入力エラー"
constexpr char kInputError[] = "\x93\xfc\x97\xcd\x83G\x83\x89\x81[";
// "名前が最大文字数を超えています"
constexpr char kNameTooLong[] =
    "\x96\xbc\x91O\x82\xaa\x8d\xc5\x91\xe5\x95\xb6\x8e\x9a\x90\x94\x82\xf0\x92\xb4\x82\xa6\x82\xc4"
    "\x82\xa2\x82\xdc\x82\xb7";
// "名前に使用出来ない半角文字が入っています"
constexpr char kNameForbidden[] =
    "\x96\xbc\x91O\x82\xc9\x8eg\x97p\x8fo\x97\x88\x82\xc8\x82\xa2\x94\xbc\x8ap\x95\xb6\x8e\x9a\x82"
    "\xaa\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
// "台詞が最大文字数を超えています"
constexpr char kLineTooLong[] =
    "\x91\xe4\x8e\x8c\x82\xaa\x8d\xc5\x91\xe5\x95\xb6\x8e\x9a\x90\x94\x82\xf0\x92\xb4\x82\xa6\x82"
    "\xc4\x82\xa2\x82\xdc\x82\xb7";
// "台詞に使用出来ない半角文字が入っています"
constexpr char kLineForbidden[] =
    "\x91\xe4\x8e\x8c\x82\xc9\x8eg\x97p\x8fo\x97\x88\x82\xc8\x82\xa2\x94\xbc\x8ap\x95\xb6\x8e\x9a"
    "\x82\xaa\x93\xfc\x82\xc1\x82\xc4\x82\xa2\x82\xdc\x82\xb7";
// "名前 %d 文字以内 / 台詞 %dx%d 文字以内"
constexpr char kLimitsFormat[] =
    "\x96\xbc\x91O %d \x95\xb6\x8e\x9a\x88\xc8\x93\xe0 / \x91\xe4\x8e\x8c %dx%d "
    "\x95\xb6\x8e\x9a\x88\xc8\x93\xe0";
// "文字変数ではありません %d"
constexpr char kNotStringVariable[] =
    "\x95\xb6\x8e\x9a\x95\xcf\x90\x94\x82\xc5\x82\xcd\x82\xa0\x82\xe8\x82\xdc\x82\xb9\x82\xf1 %d";
// "文字変数の番号が異常です %d"
constexpr char kBadStringVariable[] =
    "\x95\xb6\x8e\x9a\x95\xcf\x90\x94\x82\xcc\x94\xd4\x8d\x86\x82\xaa\x88\xd9\x8f\xed\x82\xc5\x82"
    "\xb7 %d";
// "文字列の番号が異常です %d"
constexpr char kBadStringNumber[] =
    "\x95\xb6\x8e\x9a\x97\xf1\x82\xcc\x94\xd4\x8d\x86\x82\xaa\x88\xd9\x8f\xed\x82\xc5\x82\xb7 %d";
// "%sファイル(*.%s)"
constexpr char kFilterFormat[] = "%s\x83t\x83@\x83\x43\x83\x8b(*.%s)";
// "全てのファイル(*.*)"
constexpr char kAllFiles[] = "\x91S\x82\xc4\x82\xcc\x83t\x83@\x83\x43\x83\x8b(*.*)";

constexpr uint32_t kEditTextBytes = 1023;  // what the entry control holds
constexpr size_t kNameInputBytes = 61;
constexpr size_t kLineInputBytes = 509;
constexpr size_t kNameBytes = 63;  // the converted name and line, terminator not counted
constexpr size_t kLineBytes = 399;
constexpr uint32_t kTextBytes = 516;
constexpr uint32_t kExtensionBytes = 12;
constexpr uint32_t kTitleBytes = 256;
constexpr size_t kPathBytes = 515;
constexpr uint32_t kNoFileChange = 0x8;  // the dialog keeps the working folder

int32_t as_int(uint32_t v) {
  return static_cast<int32_t>(v);
}

std::string cut(const std::string& text, size_t max) {
  return text.substr(0, sjis_fit(kSjisDialogUnits, text.data(), text.size(), max));
}

std::string sprintf_text(const char* format, int32_t a, int32_t b, int32_t c) {
  char buf[128];
  std::snprintf(buf, sizeof buf, format, a, b, c);
  return buf;
}

// The path the last file dialog returned.
std::string g_last_path;

void refuse(const char* text) {
  platform::message_box(text, kInputError, platform::kMbOk | platform::kMbIconExclamation);
}

// The slot of a string-slot reference for stand_edit_get_name and _get_text; null with their
// error line.
char* stand_edit_slot(VmContext& vm, uint32_t reference) {
  if (!engine::is_string_handle(reference)) {
    engine::vm_log(engine::kLogMain, kNotStringVariable, as_int(reference));
    return nullptr;
  }
  char* slot = engine::slot_of(vm, reference);
  if (!slot) engine::vm_log(engine::kLogMain, kBadStringVariable, as_int(reference));
  return slot;
}

uint32_t file_dialog(VmContext& vm, bool save) {
  const uint32_t extension_ref = engine::vm_pop(vm);
  const uint32_t title_ref = engine::vm_pop(vm);
  const uint32_t name_ref = engine::vm_pop(vm);
  const uint32_t flags = engine::vm_pop(vm);
  const int32_t folder = as_int(engine::vm_pop(vm));
  FileDialog d;
  d.save = save;
  d.folder_id = folder;
  d.extension = engine::fetch_text(vm, extension_ref, kExtensionBytes);
  d.title = engine::fetch_text(vm, title_ref, kTitleBytes);
  d.file_name = engine::fetch_text(vm, name_ref, kTextBytes);
  d.flags = flags | kNoFileChange;
  char described[64];
  std::snprintf(described, sizeof described, kFilterFormat, d.extension.c_str(),
                d.extension.c_str());
  d.filter = {described, "*." + d.extension, kAllFiles, "*.*"};
  g_last_path.clear();
  const int32_t chosen = dialog_host.run_file(d);
  if (chosen) g_last_path = cut(d.file_name, kPathBytes);
  engine::vm_set_result(vm, static_cast<uint32_t>(chosen));
  return 1;
}

// The posting service: its arguments are taken and the command refused.
uint32_t not_supported(VmContext& vm, const char* name, int pops, bool has_result,
                       uint32_t result) {
  for (int i = 0; i < pops; ++i) engine::vm_pop(vm);
  if (has_result) engine::vm_set_result(vm, result);
  engine::vm_log(engine::kLogMain, "%s : NOT SUPPORT", name);
  return 0;
}

}  // namespace

DialogHost dialog_host{dialog_run_edit, dialog_run_stand_edit, dialog_run_file};

StandEditState& stand_edit_state() {
  static StandEditState state;
  return state;
}

void edit_dialog_changed(EditDialog& d) {
  const int32_t count = edit_count(cut(d.text, kEditTextBytes));
  d.counter = edit_counter_text(count, d.maximum);
  d.ok_enabled = edit_ok_enabled(count, d.maximum);
}

bool stand_edit_dialog_ok(StandEditDialog& d) {
  StandEditState& st = stand_edit_state();
  const std::string name = cut(d.name, kNameInputBytes);
  const std::string line = cut(d.line, kLineInputBytes);
  engine::vm_log(engine::kLogMain, "len=%d / %s", static_cast<int32_t>(line.size()), line.c_str());
  std::string name_markup, line_markup;
  const MarkupResult n = markup_from_input(name, st.nNameWidth * 2, 1, st.nHalfWidth, &name_markup);
  if (n != MarkupResult::kOk || name_markup.size() > kNameBytes) {
    refuse(n == MarkupResult::kControl || n == MarkupResult::kForbidden ? kNameForbidden
                                                                        : kNameTooLong);
    return false;
  }
  const MarkupResult l =
      markup_from_input(line, st.nLineWidth * 2, st.nLineCount, st.nHalfWidth, &line_markup);
  // Markup longer than the stored line is refused like a line that does not fit the window.
  if (l != MarkupResult::kOk || line_markup.size() > kLineBytes) {
    refuse(l == MarkupResult::kControl || l == MarkupResult::kForbidden ? kLineForbidden
                                                                        : kLineTooLong);
    return false;
  }
  st.szName = name_markup;
  st.szLine = line_markup;
  return true;
}

uint32_t cmd_edit(VmContext& vm) {
  const uint32_t slot_ref = engine::vm_pop(vm);
  const uint32_t caption_ref = engine::vm_pop(vm);
  const uint32_t initial_ref = engine::vm_pop(vm);
  const int32_t maximum = as_int(engine::vm_pop(vm));
  if (!engine::is_string_handle(slot_ref)) {
    engine::vm_log(engine::kLogMain, "edit : " CMD_NOT_STRING_TYPE);
    engine::vm_set_result(vm, 0);
    return 1;
  }
  char* slot = engine::slot_of(vm, slot_ref);
  if (!slot) {
    engine::vm_log(engine::kLogMain, "edit : string slot %d is outside 0-15",
                   as_int(slot_ref & 0x0FFFFFFF));
    engine::vm_set_result(vm, 0);
    return 1;
  }
  EditDialog d;
  d.maximum = maximum;
  d.text = cut(edit_initial_text(engine::fetch_text(vm, initial_ref)), kEditTextBytes);
  d.caption = engine::fetch_text(vm, caption_ref);
  edit_dialog_changed(d);
  if (dialog_host.run_edit(d) == -1) {
    engine::vm_log(engine::kLogHistory, "cansel edit");
    engine::vm_set_result(vm, 0);
    return 1;
  }
  // The control is read with room for the maximum count of bytes.
  const std::string text = cut(d.text, maximum > 0 ? static_cast<size_t>(maximum) : 0);
  engine::slot_store(slot, text);
  engine::vm_log(engine::kLogHistory, "edit %s", text.c_str());
  engine::vm_set_result(vm, 1);
  return 1;
}

uint32_t cmd_stand_edit(VmContext& vm) {
  StandEditState& st = stand_edit_state();
  st.nNameWidth = as_int(engine::vm_pop(vm));
  st.nLineWidth = as_int(engine::vm_pop(vm));
  st.nLineCount = as_int(engine::vm_pop(vm));
  StandEditDialog d;
  d.names = engine::string_list();
  if (!st.szName.empty()) {
    d.name = st.szName;
  } else if (!d.names.empty()) {
    d.name = d.names.front();
  }
  d.limits = sprintf_text(kLimitsFormat, st.nNameWidth, st.nLineWidth, st.nLineCount);
  d.line = markup_to_input(st.szLine);
  if (dialog_host.run_stand_edit(d) == 0) {
    engine::vm_log(engine::kLogMain, "STAND EDIT OK");
    engine::vm_set_result(vm, 1);
  } else {
    engine::vm_log(engine::kLogMain, "STAND EDIT CANCEL");
    engine::vm_set_result(vm, 0);
  }
  return 1;
}

uint32_t cmd_stand_edit_get_name(VmContext& vm) {
  char* slot = stand_edit_slot(vm, engine::vm_pop(vm));
  if (!slot) return 0;
  engine::slot_store(slot, stand_edit_state().szName);
  return 1;
}

uint32_t cmd_stand_edit_get_text(VmContext& vm) {
  char* slot = stand_edit_slot(vm, engine::vm_pop(vm));
  if (!slot) return 0;
  engine::slot_store(slot, stand_edit_state().szLine);
  return 1;
}

uint32_t cmd_set_hankaku_width(VmContext& vm) {
  const int32_t on = as_int(engine::vm_pop(vm));
  StandEditState& st = stand_edit_state();
  engine::vm_set_result(vm, st.nHalfWidth == 1 ? 1 : 0);
  st.nHalfWidth = on > 0 ? 1 : 2;
  return 1;
}

uint32_t cmd_message_box(VmContext& vm) {
  const uint32_t text_ref = engine::vm_pop(vm);
  const uint32_t caption_ref = engine::vm_pop(vm);
  const uint32_t flags = engine::vm_pop(vm);
  const std::string text = engine::fetch_text(vm, text_ref, kTextBytes);
  const std::string caption = engine::fetch_text(vm, caption_ref, kTextBytes);
  const int result = platform::message_box(text.c_str(), caption.c_str(), flags);
  engine::vm_set_result(vm, static_cast<uint32_t>(result));
  return 1;
}

uint32_t cmd_open_file_dialog(VmContext& vm) {
  return file_dialog(vm, false);
}

uint32_t cmd_save_file_dialog(VmContext& vm) {
  return file_dialog(vm, true);
}

uint32_t cmd_get_file_dialog_path(VmContext& vm) {
  const uint32_t reference = engine::vm_pop(vm);
  char* slot = engine::is_string_handle(reference) ? engine::slot_of(vm, reference) : nullptr;
  if (!slot) {
    engine::vm_log(engine::kLogMain, kBadStringNumber, as_int(reference));
    return 0;
  }
  engine::slot_store(slot, g_last_path);
  return 1;
}

uint32_t cmd_is_tweet(VmContext& vm) {
  return not_supported(vm, "is_tweet", 0, true, 0);
}
uint32_t cmd_result_tweet(VmContext& vm) {
  return not_supported(vm, "result_tweet", 0, true, 0xFFFFFFFFu);
}
uint32_t cmd_twitter(VmContext& vm) {
  return not_supported(vm, "twitter", 2, false, 0);
}
uint32_t cmd_get_tweet_key(VmContext& vm) {
  return not_supported(vm, "get_tweet_key", 2, false, 0);
}
uint32_t cmd_set_tweet_key(VmContext& vm) {
  return not_supported(vm, "set_tweet_key", 2, false, 0);
}
uint32_t cmd_tweet_authorize(VmContext& vm) {
  return not_supported(vm, "tweet_authorize", 0, false, 0);
}

const engine::CommandEntry dialog_command_entries[] = {DIALOG_COMMANDS(COMMAND_ENTRY)};
const engine::CommandList dialog_commands = engine::command_list(dialog_command_entries);

}  // namespace ui
