// The save blocks on a script machine with the text window's fakes (recording sprites, a fake
// font), the platform's sprite info kept whole per sprite, and recording button groups and
// shader effects. Helpers write a block, check bytes against a block's checker and lay out
// bytes by hand.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/orv_api.h"
#include "graphics/layers/image_record.h"
#include "program/text/window/text_window_fixture.h"
#include "save/save_blocks.h"

namespace blockstest {

using Bytes = std::vector<uint8_t>;
using Writer = void (*)(const engine::VmContext&, codec::ByteWriter&);
using Checker = bool (*)(codec::ByteReader&, save::SaveCheck&);
using Reader = void (*)(engine::VmContext&, codec::ByteReader&, const save::LoadMode&);

struct Recorded {
  std::map<uint32_t, OrvSpriteInfo> infos;  // the last info set per sprite
  std::vector<std::string> calls;
  uint32_t next_group = 500;
};
inline Recorded* g_rec = nullptr;

// Little-endian words and runs laid out by hand.
struct Lay {
  Bytes b;
  Lay& u32(uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return *this;
  }
  Lay& i32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
  Lay& zeros(size_t n) {
    b.insert(b.end(), n, 0);
    return *this;
  }
  Lay& text(const char* s, size_t field) {
    const size_t n = std::strlen(s);
    b.insert(b.end(), s, s + n);
    return zeros(field - n);
  }
  Lay& bytes(const Bytes& more) {
    b.insert(b.end(), more.begin(), more.end());
    return *this;
  }
  size_t size() const { return b.size(); }
};

inline uint32_t word_at(const Bytes& b, size_t at) {
  return codec::load_u32(b.data() + at);
}
inline void put_word(Bytes& b, size_t at, uint32_t v) {
  ASSERT_LE(at + 4, b.size());
  for (size_t i = 0; i < 4; ++i) b.at(at + i) = static_cast<uint8_t>(v >> (8 * i));
}

class BlocksTest : public textwindowtest::TextWindowTest {
 protected:
  void SetUp() override {
    TextWindowTest::SetUp();
    g_rec = &rec;
    orv.OrvSpriteSetInfo = [](OrvHandle s, const OrvSpriteInfo* info) -> OrvBool {
      g_rec->infos[s] = *info;
      if (layerstest::FakeSprite* f = layerstest::g_fake->at(s)) {
        f->x = info->x;
        f->y = info->y;
        f->color = info->color;
        f->visible = info->visible;
      }
      return 1;
    };
    orv.OrvSpriteGetInfo = [](OrvHandle s, OrvSpriteInfo* info) -> OrvBool {
      std::memset(info, 0, sizeof *info);
      layerstest::FakeSprite* f = layerstest::g_fake->at(s);
      if (!f) return 0;
      auto it = g_rec->infos.find(s);
      if (it != g_rec->infos.end()) {
        *info = it->second;
        info->visible = f->visible;
        return 1;
      }
      info->width = info->cell_width = f->w;
      info->height = info->cell_height = f->h;
      info->x = f->x;
      info->y = f->y;
      info->scale_x = f->sx;
      info->scale_y = f->sy;
      info->color = f->color;
      info->visible = f->visible;
      return 1;
    };
    orv.OrvButtonCreateEx = [](OrvSoundHandle hover, OrvSoundHandle click) -> OrvHandle {
      g_rec->calls.push_back("group " + std::to_string(hover) + " " + std::to_string(click));
      return g_rec->next_group++;
    };
    orv.OrvButtonEntry = [](OrvHandle group, OrvHandle sprite) -> OrvBool {
      g_rec->calls.push_back("entry " + std::to_string(group) + " " + std::to_string(sprite));
      return 1;
    };
    orv.OrvButtonRelease = [](OrvHandle) -> OrvBool { return 1; };
    orv.OrvButtonDelete = [](OrvHandle, OrvHandle) -> OrvBool { return 1; };
    orv.OrvSetFxEffect = [](const void*, uint32_t type, int32_t command, uint32_t duration,
                            const void* block) -> int32_t {
      uint32_t w[3];
      std::memcpy(w, block, sizeof w);
      g_rec->calls.push_back("fx " + std::to_string(type) + " " + std::to_string(command) + " " +
                             std::to_string(duration) + " " + std::to_string(w[0]));
      return 1;
    };
    orv.OrvSpriteCreateTextEx = [](OrvHandle s, const char* text, int32_t x, int32_t y,
                                   uint32_t) -> OrvBool {
      g_rec->calls.push_back("text " + std::to_string(s) + " " + text + " " + std::to_string(x) +
                             " " + std::to_string(y));
      return 1;
    };
    check.dwCodeBase = 12;
    check.dwCodeSize = 4096;
  }
  void TearDown() override {
    g_rec = nullptr;
    TextWindowTest::TearDown();
  }

  Bytes write(Writer w) {
    Bytes out;
    codec::ByteWriter writer(&out);
    w(vm(), writer);
    return out;
  }
  // Checks bytes with a fresh SaveCheck; true only when the check passes and consumes all.
  bool accepts(Checker c, const Bytes& b, const char** field = nullptr) {
    codec::ByteReader in(b.data(), b.size());
    save::SaveCheck sc = check;
    const bool ok = c(in, sc);
    if (field) *field = sc.field;
    return ok && in.pos() == b.size();
  }
  // Checks then reads; returns the bytes the read consumed.
  size_t read(Reader r, const Bytes& b) {
    codec::ByteReader in(b.data(), b.size());
    r(vm(), in, save::LoadMode{});
    return in.pos();
  }
  // Every cut inside the block is refused, naming a field.
  void expect_cuts_refused(Checker c, const Bytes& b) {
    for (size_t n = 0; n < b.size(); ++n) {
      const Bytes cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
      codec::ByteReader in(cut.data(), cut.size());
      save::SaveCheck sc = check;
      EXPECT_FALSE(c(in, sc)) << "cut at " << n;
      EXPECT_NE(sc.field, nullptr) << "cut at " << n;
    }
  }
  // One word of a valid block changed: refused with the field named.
  struct Break {
    size_t at;
    uint32_t value;
    const char* field;
  };
  void expect_breaks_refused(Checker c, const Bytes& valid, std::initializer_list<Break> breaks) {
    ASSERT_TRUE(accepts(c, valid));
    for (const Break& br : breaks) {
      Bytes b = valid;
      put_word(b, br.at, br.value);
      const char* field = nullptr;
      EXPECT_FALSE(accepts(c, b, &field)) << br.field;
      EXPECT_STREQ(field, br.field) << "at " << br.at;
    }
  }
  // A recorded sprite loaded as the layers' loader would, with its info kept.
  uint32_t sprite_named(const char* name, int32_t w, int32_t h) { return fake().add(name, w, h); }

  save::SaveCheck check;
  Recorded rec;
};

}  // namespace blockstest
