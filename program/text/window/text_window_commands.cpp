#include "text/window/text_window_commands.h"

#include <cstddef>

#include "engine/formats/startup_info.h"
#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/vm_log.h"
#include "engine/vm_services.h"
#include "graphics/layers/image_record.h"
#include "text/window/reveal.h"
#include "text/window/text_settings.h"
#include "text/window/text_window_command_list.h"
#include "text/window/text_window_ops.h"

namespace textwindow {
namespace {

using engine::kLogHistory;
using engine::kLogMain;
using engine::vm_log;
using engine::vm_pop;

int32_t pop_int(VmContext& vm) {
  return static_cast<int32_t>(vm_pop(vm));
}

bool initialised(VmContext& vm, const char* command) {
  return text_window_ready(vm, command);
}

uint32_t cmd_text_init(VmContext& vm) {
  const int32_t char_size = pop_int(vm);
  const int32_t x = pop_int(vm);
  const int32_t y = pop_int(vm);
  const int32_t width = pop_int(vm);
  const int32_t height = pop_int(vm);
  const int32_t name_x = pop_int(vm);
  const int32_t name_y = pop_int(vm);
  const int32_t ruby_size = pop_int(vm);
  vm_log(kLogHistory, "text_init %d, %d, %d, %d, %d, %d, %d, %d", char_size, x, y, width, height,
         name_x, name_y, ruby_size);
  // The sizes also size the reveal buffers and the sprites: refuse what no window can be, and
  // widths that would not survive the rounding.
  constexpr int32_t kMaxSide = engine::kMaxTextSide;
  if (char_size < 0 || width < 0 || height < 0 || ruby_size < 0 || char_size > kMaxSide ||
      width > kMaxSide || height > kMaxSide || ruby_size > kMaxSide) {
    vm_log(kLogMain, "text_init : invalid size %d, %d, %d, %d", char_size, width, height,
           ruby_size);
    return 0;
  }
  TextWindow& tw = vm.text;
  tw.nCharSize = char_size;
  tw.x = x;
  tw.y = y;
  tw.nWidth = (width + 3) & ~3;
  tw.nHeight = height;
  tw.nNameX = name_x;
  tw.nNameY = name_y;
  tw.nRubySize = ruby_size;
  tw.dwButtonGroup = engine::kNoButtonGroup;
  tw.nEndX = x;
  tw.nEndY = y;
  tw.bVisible = 0;
  tw.bInit = 1;
  textrender::TextRenderSettings& rs = engine::text_settings.render;
  rs.bRubyOffsetOn = engine::startup_settings().bRubyOffset;
  orv.OrvFontSetFontSize(char_size);
  const int32_t pitch_line =
      textrender::text_base_line_pitch(rs, char_size, ruby_size, orv.OrvFontGetEffect());
  const int64_t area = int64_t{tw.nWidth} + char_size + rs.nPitch;
  if (!reveal_init(tw.reveal, area > 0 && area <= kMaxSide * 4 ? static_cast<int32_t>(area) : 0,
                   height, pitch_line)) {
    vm_log(kLogMain, "text_init : reveal buffer error %d x %d", static_cast<int32_t>(area), height);
  }
  if (!text_window_sprites_create(vm, tw)) {
    vm_log(kLogMain, "text_init : sprite create error");
    return 0;
  }
  return 1;
}

uint32_t cmd_text_set_icon(VmContext& vm) {
  const int32_t icon = pop_int(vm);
  const uint32_t file = vm_pop(vm);
  const int32_t x = pop_int(vm);
  const int32_t y = pop_int(vm);
  vm_log(kLogHistory, "text_set_icon %d, 0x%08X, %d, %d", icon, file, x, y);
  if (!initialised(vm, "text_set_icon")) return 0;
  if (icon < 0 || icon >= static_cast<int32_t>(engine::kIconCount)) {
    vm_log(kLogMain, "text_set_icon : invalid icon %d", icon);
    return 0;
  }
  return text_window_image_load(vm, vm.text, kImageIcon0 + static_cast<uint32_t>(icon), file, x, y)
             ? 1
             : 0;
}

uint32_t cmd_text_uninit(VmContext& vm) {
  vm_log(kLogHistory, "text_uninit");
  if (!initialised(vm, "text_uninit")) return 0;
  text_window_uninit(vm);
  return 1;
}

uint32_t cmd_text_set_rect(VmContext& vm) {
  const int32_t image = pop_int(vm);
  const int32_t width = pop_int(vm);
  const int32_t height = pop_int(vm);
  const int32_t cell_width = pop_int(vm);
  const int32_t cell_height = pop_int(vm);
  vm_log(kLogHistory, "text_set_rect %d, %d, %d, %d, %d", image, width, height, cell_width,
         cell_height);
  if (!initialised(vm, "text_set_rect")) return 0;
  if (image < 0 || image > 3) {
    vm_log(kLogMain, "text_set_rect : invalid param");
    return 0;
  }
  TextWindow& tw = vm.text;
  const uint32_t sprite = text_sprite(image == 0 ? tw.lpBase : tw.icons[image - 1].lpImage);
  if (!sprite) return 0;
  const OrvRect rect{0, 0, width, height};
  orv.OrvSpriteSetRect(sprite, &rect);
  orv.OrvSpriteSetOffsetRect(sprite, cell_width, cell_height);
  return 1;
}

uint32_t cmd_text_set_base(VmContext& vm) {
  const uint32_t file = vm_pop(vm);
  const int32_t x = pop_int(vm);
  const int32_t y = pop_int(vm);
  const int32_t keep = pop_int(vm);
  vm_log(kLogHistory, "text_set_base 0x%08X, %d, %d, %d", file, x, y, keep);
  if (!initialised(vm, "text_set_base")) return 0;
  if (!text_window_image_load(vm, vm.text, kImageBase, file, x, y)) return 0;
  if (keep == 1) engine::player_settings(vm).nTextBaseImage = static_cast<int32_t>(file);
  return 1;
}

uint32_t cmd_text_set_priority(VmContext& vm) {
  const int32_t priority = pop_int(vm);
  vm_log(kLogHistory, "text_set_priority %d", priority);
  engine::text_settings.nPriority = priority;
  return 1;
}

constexpr engine::CommandEntry kEntries[] = {TEXT_WINDOW_COMMANDS(COMMAND_ENTRY)};

}  // namespace

const engine::CommandList text_window_commands = engine::command_list(kEntries);

}  // namespace textwindow
