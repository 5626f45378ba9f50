#include "Orv/core/window/input_script.h"

#include <vector>

#include "platform/input_script.h"

namespace {

struct InputScript {
  bool read = false;
  bool active = false;
  std::vector<platform::InputStep> steps;
  size_t next = 0;
  uint32_t frame = 0;
  uint32_t keys = 0;
};

InputScript& script() {
  static InputScript s;
  return s;
}

int32_t scale(int32_t v, int32_t to, int32_t from) {
  return from > 0 ? static_cast<int32_t>(int64_t{v} * to / from) : v;
}

}  // namespace

void input_script_step(InputState& in, const InputFrame& f) {
  InputScript& s = script();
  if (!s.read) {
    s.read = true;
    s.active = platform::input_script_from_environment(&s.steps);
  }
  if (!s.active) return;
  while (s.next < s.steps.size() && s.steps[s.next].frame <= s.frame) {
    const platform::InputStep& step = s.steps[s.next++];
    s.keys = step.keys;
    if (!step.move) continue;
    const int32_t px = f.full_screen ? f.rect_left + scale(step.x, f.rect_width, f.screen_width)
                                     : scale(step.x, f.client_width, f.screen_width);
    const int32_t py = f.full_screen ? f.rect_top + scale(step.y, f.rect_height, f.screen_height)
                                     : scale(step.y, f.client_height, f.screen_height);
    in.cursor_x = in.client_origin_x + px;
    in.cursor_y = in.client_origin_y + py;
  }
  in.keys_down = s.keys;
  ++s.frame;
}
