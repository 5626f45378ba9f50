// Message bytes from outside (a script's Text.dat entry) through the text renderer: expanded
// with text_expand into a small and a full buffer, measured and drawn with draw_text_tagged
// (into a small sprite, with the reveal's glyph lists and the tips records), and laid out by
// save_text_wrap. Nothing may read past the text's terminator or write past any buffer.
//
// Input: a flag byte (bits 0-1 font effect, bit 2 wrap, bit 3 glyph-order reveal, bit 4 ruby
// band, bit 5 bitmap font instead of the Gothic face, bit 6 pitch 3, bit 7 an open backlog),
// a byte choosing the area width (bits 0-5; bits 6 and 7 both set: size tags above 64 are
// kept), then the message.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "Orv/render/render_list.h"
#include "Orv/render/render_system.h"
#include "bitmap_font_writer/bitmap_font_file.h"
#include "engine/game_state.h"
#include "engine/orv_api.h"
#include "engine/orv_static_bind.h"
#include "engine/vm_log.h"
#include "orv/orv.h"
#include "text/render/text_render.h"

namespace {

void discard(int, const char*, void*) {}

struct World {
  std::unique_ptr<engine::GameState> gs = std::make_unique<engine::GameState>();
  bool bitmap_font = false;
  textrender::RevealState reveal{};
};

World& world() {
  static World* w = [] {
    auto* w = new World;
    RenderParams params;
    params.game_width = 64;
    params.game_height = 48;
    render_system_init(params, nullptr);
    engine::orv_static_bind();
    engine::set_log_sink(discard, nullptr);
    orv.OrvDebugPrintf = nullptr;  // the renderer's error lines would flood the output
    char path[] = "/tmp/text_markup_fontXXXXXX";
    const int fd = mkstemp(path);
    if (fd >= 0) {
      const std::string font =
          bitmapfont::bitmap_font_file(12, 10, bitmapfont::outline_glyphs(12, 10));
      w->bitmap_font = write(fd, font.data(), font.size()) == static_cast<ssize_t>(font.size());
      close(fd);
      w->bitmap_font = w->bitmap_font && OrvFontLoad(path);
      unlink(path);
    }
    engine::VmContext& vm = w->gs->vm;
    vm.userMem[3] = static_cast<uint32_t>(-25);
    vm.tempMem[4095] = 0x80000000u;
    std::snprintf(vm.playerName.szName, sizeof vm.playerName.szName, "\x91\xBE\x98\x59");
    return w;
  }();
  return *w;
}

// The bitmap font scales every glyph anew on each call, so that a message in a size tag of
// some hundreds cost a hundred milliseconds and held the target to some three hundred inputs a
// second (a tag may switch to the bitmap font whatever the flags say). In three inputs of four
// size tags above 64 are read as 64, written in the same digits so that nothing else moves:
// scaling up by five still takes every path of the scaler; the fourth keeps its sizes.
void cap_size_tags(std::string& text) {
  for (size_t at = text.find("<s"); at != std::string::npos; at = text.find("<s", at + 2)) {
    size_t end = at + 2;
    int64_t value = 0;
    for (; end < text.size() && text[end] >= '0' && text[end] <= '9'; ++end)
      value = std::min<int64_t>(value * 10 + (text[end] - '0'), 1000);
    if (value <= 64) continue;
    std::fill(text.begin() + at + 2, text.begin() + end - 2, '0');
    text[end - 2] = '6';
    text[end - 1] = '4';
  }
}

}  // namespace

// A small quarantine of freed blocks for the address checker: each input makes and frees a
// sprite, glyph images and text buffers, and the default quarantine of 256 MiB cycled through
// new pages for them (half again as many inputs a second with this one); 16 MiB still spans
// many inputs, so a block used after it was freed is caught all the same.
extern "C" const char* __asan_default_options() {
  return "quarantine_size_mb=16:malloc_context_size=8";
}

// The world is made before the first input, so that its lasting blocks are not taken for a
// leak of that input.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
  world();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World& w = world();
  if (size < 2) return 0;
  const uint8_t flags = data[0];
  const int32_t width = 8 + data[1] % 64;
  std::string message(reinterpret_cast<const char*>(data + 2), size - 2);
  if (data[1] >> 6 != 3) cap_size_tags(message);
  engine::VmContext& vm = w.gs->vm;

  // text_expand into a buffer just big enough for some of it, then into a full one.
  std::vector<char> small(1 + size % 17);
  textrender::text_expand(vm, small.data(), small.size(), message.c_str());
  std::vector<char> expanded(textrender::kTextBufferBytes);
  textrender::text_expand(vm, expanded.data(), expanded.size(), message.c_str());

  OrvFontSetType(flags & 0x20 && w.bitmap_font ? 4 : 0);
  OrvFontSetEffect(flags & 3);
  textrender::TextRenderSettings settings = textrender::text_render_settings_default();
  settings.bWrap = flags >> 2 & 1;
  settings.dwRevealType = flags >> 3 & 1;
  settings.nPitch = flags & 0x40 ? 3 : 0;
  settings.bBacklogOpen = flags >> 7;
  const int32_t ruby = flags & 0x10 ? 6 : 0;
  w.reveal.nWidth = ((width + 3) & ~3) + 8;

  // A sprite of its own per input, as the library keeps sprites only on its lists.
  const OrvHandle list = OrvRenderInit();
  OrvRenderSetActive(list);
  const OrvHandle sprite = OrvSpriteCreate(list, 48, 40, 0);
  for (OrvHandle target : {OrvHandle{0}, sprite}) {
    textrender::TextDrawRequest req{target, expanded.data(), 0,       0, width, 40, 12,
                                    ruby,   0xFFFFFF,        0x000000};
    textrender::draw_text_tagged(vm, settings, req, &w.reveal);
  }
  // The raw message too: the renderer meets text that never went through text_expand.
  textrender::TextDrawRequest req{sprite, message.c_str(), 5,       3, width, 40, 12,
                                  ruby,   0xFFFFFF,        0x000000};
  textrender::draw_text_tagged(vm, settings, req, nullptr);

  OrvSpriteRelease(list, sprite);
  OrvRenderUninit(list);

  std::vector<char> save(64 + size % 64);
  textrender::save_text_wrap(save.data(), save.size(), message.c_str(), width, 40, 12);
  return 0;
}
