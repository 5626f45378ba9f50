#include "text/sound/voice_autopan.h"

#include "engine/orv_api.h"
#include "engine/orv_calls.h"
#include "graphics/layers/image_record.h"
#include "text/sound/sound_load.h"

namespace engine {
namespace {

template <class IO>
constexpr void sync(IO& io, AutopanEntry& e) {
  io.i32(e.value);
  io.u32(e.fixed);
  io.bytes(e.key);
}
static_assert(codec::stored_size<AutopanEntry>([](auto& io, auto& r) { sync(io, r); }) ==
              kAutopanEntryBytes);

// The position a binding stands at; false when its layer has no sprite to follow.
bool binding_position(const AutopanBinding& b, int32_t w, int32_t* x) {
  if (b.fixed) {
    *x = autopan_level_x(b.value, w);
    return true;
  }
  const layers::ImageRecord* image = layers::image_record_at(b.value);
  if (!image || image->hSprite == 0) return false;
  OrvSpriteInfo info{};
  if (!orv.OrvSpriteGetInfo(image->hSprite, &info)) return false;
  *x = static_cast<int32_t>(info.x) + info.cell_width / 2;
  return true;
}

}  // namespace

int32_t game_screen_width() {
  uint32_t w = 0;
  uint32_t h = 0;
  game_screen_size(&w, &h);
  return static_cast<int32_t>(w);
}

int32_t autopan_level_x(int32_t level, int32_t w) {
  const int32_t step = w / 20;
  if (level < 0) return -step;
  if (level <= 20) return step * level;
  return w + step;
}

int32_t autopan_pan_at(int32_t x, int32_t w, int32_t r) {
  if (x < 0) return -r;
  if (x > w) return r;
  if (w <= 0) return 0;
  return static_cast<int32_t>(static_cast<float>(x) / static_cast<float>(w) *
                                  static_cast<float>(2 * r) -
                              static_cast<float>(r));
}

void voice_autopan_find(SoundState& s, int32_t slot, const std::string& name) {
  AutopanBinding& b = s.voice[slot].autopan;
  b = {};
  for (const AutopanEntry& e : s.autopan) {
    if (!name_starts_with_nocase(name, stored_name(e.key))) continue;
    b.value = e.value;
    b.fixed = e.fixed;
    b.state = 2;
    return;
  }
}

void voice_autopan_apply(SoundState& s, int32_t slot) {
  VoiceSlot& v = s.voice[slot];
  if (v.autopan.state != 2) return;
  const int32_t w = game_screen_width();
  int32_t x = 0;
  if (!binding_position(v.autopan, w, &x)) return;
  const int32_t pan = autopan_pan_at(x, w, s.nAutopanRange);
  if (pan == v.autopan.lastPan) return;
  v.autopan.lastPan = pan;
  orv.OrvSoundSetPanChannel(v.sound, pan);
}

void autopan_state_save(const SoundState& s, codec::ByteWriter& out) {
  for (const AutopanEntry& e : s.autopan) {
    AutopanEntry stored = e;
    sync(out, stored);
  }
}

bool autopan_state_restore(SoundState& s, codec::ByteReader& in) {
  AutopanEntry read[16] = {};
  for (AutopanEntry& e : read) sync(in, e);
  if (in.failed()) {
    for (AutopanEntry& e : s.autopan) e = {};
    return false;
  }
  for (int i = 0; i < 16; ++i) s.autopan[i] = read[i];
  return true;
}

}  // namespace engine
