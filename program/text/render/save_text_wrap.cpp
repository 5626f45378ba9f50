// save_text_wrap: a save slot's text laid out in lines, without tags.
#include <cstring>
#include <vector>

#include "engine/orv_api.h"
#include "text/render/text_render.h"
#include "text/render/text_units.h"

namespace textrender {

namespace {

constexpr char kEllipsis[2] = {static_cast<char>(0x81), static_cast<char>(0x63)};

int64_t single_width(const char* unit, size_t length) {
  char glyph[3] = {};
  std::memcpy(glyph, unit, length);
  int32_t size[2] = {};
  orv.OrvFontGetSize(glyph, size);
  return size[0];
}

// Replaces the last whole character written (more when the ellipsis would not fit) by the
// ellipsis and terminates.
void end_with_ellipsis(char* dst, size_t capacity, size_t* length, std::vector<size_t>& starts) {
  size_t keep = starts.empty() ? *length : starts.back();
  if (!starts.empty()) starts.pop_back();
  while (keep + sizeof kEllipsis + 1 > capacity && !starts.empty()) {
    keep = starts.back();
    starts.pop_back();
  }
  if (keep + sizeof kEllipsis + 1 <= capacity) {
    std::memcpy(dst + keep, kEllipsis, sizeof kEllipsis);
    keep += sizeof kEllipsis;
  }
  std::memset(dst + keep, 0, capacity - keep);
  *length = keep;
}

}  // namespace

int save_text_wrap(char* dst, size_t capacity, const char* text, int32_t width, int32_t height,
                   int32_t size) {
  if (!dst || capacity == 0) return 1;
  std::memset(dst, 0, capacity);
  const char* p = text ? text : "";
  size_t length = 0;
  std::vector<size_t> starts;  // where each character written begins
  int64_t x = 0, y = 0;
  const int64_t line = int64_t{size} + 2;
  for (;;) {
    const TextUnit unit = text_unit_at(p);
    if (unit.kind == UnitKind::kEnd) break;
    if (unit.kind == UnitKind::kTag) {
      p += unit.length;
      continue;
    }
    if (length + unit.length + 1 > capacity) {
      end_with_ellipsis(dst, capacity, &length, starts);
      return 1;
    }
    const bool single = unit.kind == UnitKind::kSingle || unit.kind == UnitKind::kEscape;
    const int64_t w = single ? single_width(p, unit.length) : size;
    starts.push_back(length);
    std::memcpy(dst + length, p, unit.length);
    length += unit.length;
    p += unit.length;
    x += w;
    if (x + w > width) {
      y += line;
      x = 0;
      if (y + line > height) {
        end_with_ellipsis(dst, capacity, &length, starts);
        return 1;
      }
      if (length + 2 > capacity) {
        end_with_ellipsis(dst, capacity, &length, starts);
        return 1;
      }
      dst[length++] = '\n';
    }
  }
  return 1;
}

}  // namespace textrender
