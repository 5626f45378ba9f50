// Dialogs: the text-entry dialog, the name-and-line dialog, the message box and the file
// dialogs, all modal and owned by the game window; a command that opens one returns when it is
// closed.
//
// The dialogs' behaviour lives here as records and functions (what each control shows, what OK
// does); drawing them and letting the player type is the business of a DialogHost, a table of
// functions: by default the library's modal widgets (dialog_boxes.h). A dialog that cannot be
// shown ends as if the player cancelled it (the entry dialogs, whose result -1 means cancel) or
// chose nothing (the file dialogs): nothing the player has is lost. Tests put a host in that
// plays the player.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace ui {

// The text-entry dialog ("EDIT"): control 1008 is `text`, control 1009 `counter`.
struct EditDialog {
  std::string caption;
  std::string text;
  int32_t maximum = 0;
  std::string counter;
  bool ok_enabled = false;
};
// Recounts after every change of the text (and on opening): the counter and OK.
void edit_dialog_changed(EditDialog& d);

// The name-and-line dialog (108): the combo box 1011 (`names` to pick from, `name` its edit
// field), the edit control 1008 (`line`) and the limits shown in control 1004 (`limits`).
struct StandEditDialog {
  std::vector<std::string> names;
  std::string name;
  std::string line;
  std::string limits;
};
// OK: converts both entries; true when both fit and the dialog may close. A refusal shows its
// message box ("入力エラー") and keeps the dialog open.
bool stand_edit_dialog_ok(StandEditDialog& d);

// The open and save file dialogs.
struct FileDialog {
  bool save = false;
  std::string title;
  std::string extension;            // the default extension, without the dot
  std::vector<std::string> filter;  // description and pattern, in pairs
  std::string file_name;            // the initial name in, the chosen path out
  uint32_t flags = 0;
  int32_t folder_id = 0;  // the start folder, a special-folder number
};

struct DialogHost {
  // Runs the dialog until OK (0) or cancel (-1); -1 too when it cannot be shown. The host calls
  // edit_dialog_changed whenever the text changes.
  int32_t (*run_edit)(EditDialog& d);
  // 0 after an OK that stand_edit_dialog_ok accepted, -1 on cancel or when it cannot be shown.
  int32_t (*run_stand_edit)(StandEditDialog& d);
  // Nonzero when a file was chosen (d.file_name is then its path), 0 otherwise.
  int32_t (*run_file)(FileDialog& d);
};
extern DialogHost dialog_host;

// The name-and-line dialog's state, which lasts from one stand_edit to the next for the whole
// run: the limits, the half-width character width (1 or 2) and the converted entries.
struct StandEditState {
  int32_t nNameWidth = 0;
  int32_t nLineWidth = 0;
  int32_t nLineCount = 0;
  int32_t nHalfWidth = 2;
  std::string szName;  // at most 63 bytes
  std::string szLine;  // at most 399 bytes
};
StandEditState& stand_edit_state();

uint32_t cmd_edit(engine::VmContext& vm);
uint32_t cmd_stand_edit(engine::VmContext& vm);
uint32_t cmd_stand_edit_get_name(engine::VmContext& vm);
uint32_t cmd_stand_edit_get_text(engine::VmContext& vm);
uint32_t cmd_set_hankaku_width(engine::VmContext& vm);
uint32_t cmd_message_box(engine::VmContext& vm);
uint32_t cmd_open_file_dialog(engine::VmContext& vm);
uint32_t cmd_save_file_dialog(engine::VmContext& vm);
uint32_t cmd_get_file_dialog_path(engine::VmContext& vm);
uint32_t cmd_is_tweet(engine::VmContext& vm);
uint32_t cmd_result_tweet(engine::VmContext& vm);
uint32_t cmd_twitter(engine::VmContext& vm);
uint32_t cmd_get_tweet_key(engine::VmContext& vm);
uint32_t cmd_set_tweet_key(engine::VmContext& vm);
uint32_t cmd_tweet_authorize(engine::VmContext& vm);

extern const engine::CommandList dialog_commands;

}  // namespace ui
