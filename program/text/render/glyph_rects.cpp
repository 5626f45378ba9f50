#include <cstdlib>
#include <cstring>

#include "text/render/text_render.h"

namespace textrender {

namespace {
bool reserve(GlyphRectList& list, uint64_t count) {
  if (count <= list.nCapacity) return true;
  if (count > 0x7FFFFFFF / sizeof(GlyphRect)) return false;
  uint64_t capacity = list.nCapacity ? list.nCapacity : 64;
  while (capacity < count) capacity *= 2;
  void* grown = std::realloc(list.pItems, capacity * sizeof(GlyphRect));
  if (!grown) return false;
  list.pItems = static_cast<GlyphRect*>(grown);
  list.nCapacity = static_cast<uint32_t>(capacity);
  return true;
}
}  // namespace

bool glyph_rects_push(GlyphRectList& list, const GlyphRect& rect) {
  if (!reserve(list, uint64_t{list.nCount} + 1)) return false;
  list.pItems[list.nCount++] = rect;
  return true;
}

bool glyph_rects_append(GlyphRectList& list, const GlyphRectList& more) {
  if (more.nCount == 0) return true;
  if (!reserve(list, uint64_t{list.nCount} + more.nCount)) return false;
  std::memcpy(list.pItems + list.nCount, more.pItems, more.nCount * sizeof(GlyphRect));
  list.nCount += more.nCount;
  return true;
}

void glyph_rects_clear(GlyphRectList& list) {
  list.nCount = 0;
}

void glyph_rects_free(GlyphRectList& list) {
  std::free(list.pItems);
  list = GlyphRectList{};
}

}  // namespace textrender
