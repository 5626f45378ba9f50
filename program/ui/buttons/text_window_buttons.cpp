#include "ui/buttons/text_window_buttons.h"

#include "ui/buttons/buttons.h"

namespace ui {

void text_window_style_buttons(engine::VmContext& vm, engine::TextWindow& tw) {
  const int32_t group = static_cast<int32_t>(tw.dwButtonGroup & 0xFFFF);
  if (group >= static_cast<int32_t>(engine::kButtonGroups)) return;
  const bool name_shown =
      tw.dwTextMode == 0 && tw.szName[0] != 0 && (tw.dwLineFlags & engine::kLineHasName);
  const bool has_voice = tw.szVoice[0] != 0;
  const bool voice_flag = (tw.dwLineFlags & engine::kLineHasVoice) != 0;
  const int32_t name = btn_style_get(vm, group, 4), two = btn_style_get(vm, group, 2);
  const int32_t record = btn_style_get(vm, group, 8), voice2 = btn_style_get(vm, group, 10);
  auto by_voice = [&](int32_t no) {
    if (no < 0) return;
    if (has_voice) {
      btn_ctrl_set_pos(vm, group, no, voice_flag ? 1 : 0, voice_flag ? 0 : 3);
    } else {
      btn_reset(vm, group, no);
    }
  };
  if (name >= 0) btn_view_ctrl(vm, group, name, name_shown ? 1 : 0);
  const uint32_t mode = vm.sysMem[510];
  if (mode) {
    if (name_shown && name >= 0) btn_ctrl_set_pos(vm, group, name, has_voice ? 1 : 0, 0);
    if (mode & 2) by_voice(voice2);
    by_voice(two);
    by_voice(record);
  } else if (name_shown) {
    by_voice(two);
    by_voice(record);
  } else {
    for (int32_t no : {two, record}) {
      if (no >= 0) btn_view_ctrl(vm, group, no, 0);
    }
  }
}

}  // namespace ui
