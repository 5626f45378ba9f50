#include "text/render/text_measure.h"

#include <algorithm>

#include "engine/vm_log.h"
#include "text/render/text_render.h"
#include "text/render/text_units.h"

namespace textrender {

void text_center_measure(const char* text, int32_t size, int32_t width, int32_t pitch,
                         int64_t* out_width, int64_t* out_height) {
  int64_t w = 0, h = size, current = size;
  const char* p = text ? text : "";
  for (;;) {
    const TextUnit unit = text_unit_at(p);
    if (unit.kind == UnitKind::kEnd) break;
    bool kinsoku = false;
    if (unit.kind == UnitKind::kTag) {
      if (text_starts_with(p, "<s")) {
        const size_t length = size_tag_length(p);
        current = size_tag_value(p);
        h = std::max(h, current);
        p += length;
      } else {
        p += unit.length;
      }
      continue;
    }
    if (unit.kind == UnitKind::kDouble || unit.kind == UnitKind::kField) {
      if (unit.bFieldOverflow)
        engine::vm_log(engine::kLogMain, "*** ERROR: CENTER TEXT %%VALUE overflow: %.*s",
                       static_cast<int>(text_field_run(p)), p);
      kinsoku = unit.kind == UnitKind::kDouble && text_is_kinsoku(text_unit_code(p));
      w += current + pitch;
    } else {
      w += current / 2 + pitch;
    }
    p += unit.length;
    if (w > width && !(kinsoku && w <= int64_t{width} + current)) break;
  }
  *out_width = w;
  *out_height = h;
}

int64_t text_fixed_width(const char* text, size_t length, int32_t size, int32_t pitch,
                         int32_t font_type) {
  if (font_type != 0) return (int64_t{pitch} + size) * static_cast<int64_t>(length / 2);
  int64_t w = 0;
  for (size_t i = 0; i < length;) {
    const TextUnit unit = text_unit_at(text + i);
    if (unit.kind == UnitKind::kEnd) break;
    if (unit.kind == UnitKind::kDouble) {
      w += int64_t{size} + pitch;
      i += 2;
    } else {
      w += int64_t{size} / 2 + pitch;
      i += 1;
    }
  }
  return w;
}

RubyGroup ruby_split(const char* after_r) {
  RubyGroup g{};
  const char* p = after_r ? after_r : "";
  size_t i = 0;
  bool in_base = false;
  std::string* out = &g.reading;
  while (p[i]) {
    if (text_starts_with(p + i, "</d>")) {
      i += 4;
      continue;
    }
    if (text_starts_with(p + i, "<d")) {
      while (p[i] && p[i] != '>') ++i;
      if (p[i]) ++i;
      continue;
    }
    if (!in_base && p[i] == '>') {
      in_base = true;
      out = &g.base;
      g.resume = ++i;
      continue;
    }
    if (in_base && text_starts_with(p + i, "</r")) {
      g.closed = true;
      break;
    }
    out->push_back(p[i]);
    ++i;
  }
  if (!in_base) g.resume = i;
  return g;
}

}  // namespace textrender
