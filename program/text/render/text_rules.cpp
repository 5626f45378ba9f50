// The settings' start values, the layout quantities and the line-start rule.
#include <algorithm>
#include <iterator>

#include "text/render/text_render.h"

namespace textrender {

TextRenderSettings text_render_settings_default() {
  TextRenderSettings s{};
  s.bRubyOffsetOn = 1;
  s.bFade = 1;
  return s;
}

int32_t text_ruby_offset(const TextRenderSettings& settings, int32_t ruby_size) {
  if (ruby_size == 0) return 0;
  const int64_t offset = int64_t{ruby_size} + (settings.bRubyOffsetOn ? 1 : -2);
  return static_cast<int32_t>(std::clamp<int64_t>(offset, INT32_MIN, INT32_MAX));
}

int32_t text_base_line_pitch(const TextRenderSettings& settings, int32_t char_size,
                             int32_t ruby_size, int32_t font_effect) {
  const int64_t pitch = int64_t{settings.nLineInterval} + (font_effect == 3 ? 2 : 0) + char_size +
                        text_ruby_offset(settings, ruby_size);
  return static_cast<int32_t>(std::clamp<int64_t>(pitch, INT32_MIN, INT32_MAX));
}

namespace {
// Sorted: 、。？！々ー―…）」』】, the ideographic space and the small kana.
constexpr uint16_t kKinsoku[] = {
    0x8140, 0x8141, 0x8142, 0x8148, 0x8149, 0x8158, 0x815B, 0x815C, 0x8163, 0x816A, 0x8176, 0x8178,
    0x817A, 0x829F, 0x82A1, 0x82A3, 0x82A5, 0x82A7, 0x82C1, 0x82E1, 0x82E3, 0x82E5, 0x82EC, 0x8340,
    0x8342, 0x8344, 0x8346, 0x8348, 0x8362, 0x8383, 0x8385, 0x8387, 0x838E, 0x8395, 0x8396,
};
static_assert(std::size(kKinsoku) == 35);
}  // namespace

bool text_is_kinsoku(uint16_t code) {
  return std::binary_search(std::begin(kKinsoku), std::end(kKinsoku), code);
}

}  // namespace textrender
