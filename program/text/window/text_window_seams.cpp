#include "text/window/text_window_seams.h"

namespace textwindow {

TextWindowSeams text_window_seams{};

void voice_call_end(engine::VmContext& vm) {
  if (text_window_seams.voice_call_end) text_window_seams.voice_call_end(vm);
}

void line_voices_cut(engine::VmContext& vm) {
  if (text_window_seams.line_voices_cut) text_window_seams.line_voices_cut(vm);
}

bool text_button_hit(engine::VmContext& vm) {
  return text_window_seams.button_hit ? text_window_seams.button_hit(vm) : false;
}

void text_button_group_view(engine::VmContext& vm, engine::TextWindow& tw, bool on) {
  const uint32_t group = tw.dwButtonGroup & 0xFFFF;
  if (group >= 16) return;
  if (text_window_seams.button_group_view) text_window_seams.button_group_view(vm, group, on);
}

void text_button_group_styles(engine::VmContext& vm, engine::TextWindow& tw) {
  if ((tw.dwButtonGroup & 0xFFFF) >= 16) return;
  if (text_window_seams.button_group_styles) text_window_seams.button_group_styles(vm, tw);
}

}  // namespace textwindow
