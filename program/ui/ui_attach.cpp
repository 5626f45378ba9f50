#include "ui/ui_attach.h"

#include "engine/command_list.h"
#include "engine/neighbours.h"
#include "text/window/text_window_seams.h"
#include "ui/buttons/buttons.h"
#include "ui/buttons/system_buttons.h"
#include "ui/buttons/text_window_buttons.h"
#include "ui/choices/select.h"
#include "ui/dialogs/dialogs.h"
#include "ui/input/key_input.h"
#include "ui/name_entry/name_entry.h"
#include "ui/settings/memory_stack.h"
#include "ui/settings/player_settings.h"
#include "ui/system/skip_modes.h"

namespace ui {

void ui_attach() {
  engine::command_list_install(button_commands);
  engine::command_list_install(system_button_commands);
  engine::command_list_install(select_commands);
  engine::command_list_install(skip_mode_commands);
  engine::command_list_install(key_input_commands);
  engine::command_list_install(player_settings_commands);
  engine::command_list_install(font_commands);
  engine::command_list_install(memory_stack_commands);
  engine::command_list_install(dialog_commands);
  engine::command_list_install(name_entry_commands);
  engine::InteractionServices& s = engine::neighbours.interaction;
  s.btn_update = btn_update;
  s.system_btn_update = system_btn_update;
  s.btn_release_all = btn_release_all;
  s.button_follow_update = button_follow_update;
  s.button_follow_table_clear = button_follow_table_clear;
  s.system_buttons_enable = [](engine::VmContext& vm) { system_buttons_choice_enable(vm, true); };
  s.btn_any_hit = btn_any_hit;
  s.btn_view_ctrl = btn_view_ctrl;
  s.btn_ctrl_set_pos = btn_ctrl_set_pos;
  s.btn_reset = btn_reset;
  s.btn_style_get = btn_style_get;
  s.button_display_op = button_display_op;
  s.select_release = select_release;
  s.select_close = select_close;
  s.select_show = select_show;
  s.player_name_window_destroy = player_name_window_destroy;
  // The text window's calls on the buttons.
  textwindow::TextWindowSeams& tw = textwindow::text_window_seams;
  tw.button_hit = btn_any_hit;
  tw.button_group_view = [](engine::VmContext& vm, uint32_t group, bool on) {
    btn_view_ctrl(vm, static_cast<int32_t>(group), -1, on ? 1 : 0);
  };
  tw.button_group_styles = text_window_style_buttons;
}

}  // namespace ui
