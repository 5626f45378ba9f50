// What the text window needs from parts of the game that are not built yet: one table of
// functions, every entry null until its owner fills it (from its attach function, before any
// script runs), each null entry answering as noted. Tests put their own entries in and restore
// the table after.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "engine/vm_context.h"

namespace textwindow {

struct TextWindowSeams {
  // The line voices' end check after the reveal and the waits (voice queue). Null: nothing.
  void (*voice_call_end)(engine::VmContext& vm);
  // Voice cut at the end of a line: releases and clears the 8 line voice slots and resumes the
  // paused background voices. Null: nothing.
  void (*line_voices_cut)(engine::VmContext& vm);
  // True when this frame's mouse click fell on a button of a button group in use: such a
  // click does not advance the text. Null: false.
  bool (*button_hit)(engine::VmContext& vm);
  // Shows or hides every button of the window's bound group. Null: nothing.
  void (*button_group_view)(engine::VmContext& vm, uint32_t group, bool on);
  // The bound group's style buttons follow the line (name, voice). Null: nothing.
  void (*button_group_styles)(engine::VmContext& vm, engine::TextWindow& tw);
};

extern TextWindowSeams text_window_seams;

// The calls through the table, with the null answers above.
void voice_call_end(engine::VmContext& vm);
void line_voices_cut(engine::VmContext& vm);
bool text_button_hit(engine::VmContext& vm);
void text_button_group_view(engine::VmContext& vm, engine::TextWindow& tw, bool on);
void text_button_group_styles(engine::VmContext& vm, engine::TextWindow& tw);

}  // namespace textwindow
