#include "engine/neighbours.h"
#include "text/window/text_settings.h"
#include "text/window/text_settings_commands.h"
#include "text/window/text_wait.h"
#include "text/window/text_window_commands.h"
#include "text/window/text_window_ops.h"

namespace textwindow {
namespace {

void update(engine::VmContext& vm) {
  text_update(vm);
}

}  // namespace

void text_window_attach() {
  engine::command_list_install(text_window_commands);
  engine::command_list_install(text_settings_commands);
  engine::text_settings_reset();
  engine::TextSoundServices& t = engine::neighbours.text;
  t.text_window_free = text_window_free;
  t.text_update = update;
  t.text_click_wait_start = text_click_wait_start;
  t.text_wait_end = text_wait_end;
  t.text_window_visible = [](engine::VmContext& vm) { return vm.text.bVisible != 0; };
  t.text_line_report = debug_print_current_line;
}

}  // namespace textwindow
