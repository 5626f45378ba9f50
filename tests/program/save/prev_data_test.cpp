// PrevData packing against bytes laid out by hand from the packed form (flag byte, up to eight
// items, a count byte per item whose bit is set), the worst case of data without runs, and
// unpacking that stops at the raw length.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "save/prev_data.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes words(std::initializer_list<uint32_t> ws) {
  Bytes b;
  for (uint32_t w : ws) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(w >> (8 * i)));
  }
  return b;
}

Bytes pack(const Bytes& raw) {
  Bytes out(save::prev_packed_bound(static_cast<uint32_t>(raw.size())));
  const uint32_t n = save::prev_pack(raw.data(), static_cast<uint32_t>(raw.size()), out.data(),
                                     static_cast<uint32_t>(out.size()));
  out.resize(n);
  return out;
}

Bytes unpack(const Bytes& packed, uint32_t raw_length, bool* ok = nullptr) {
  Bytes out(raw_length + 8, 0xEE);  // canary bytes after the raw length
  const bool done = save::prev_unpack(packed.data(), static_cast<uint32_t>(packed.size()),
                                      out.data(), raw_length);
  if (ok) *ok = done;
  for (uint32_t i = raw_length; i < out.size(); ++i) EXPECT_EQ(out[i], 0xEE) << "wrote past " << i;
  out.resize(raw_length);
  return out;
}

struct Golden {
  const char* name;
  Bytes raw;
  Bytes packed;
};

TEST(PrevData, PacksToTheHandLaidBytes) {
  std::vector<Golden> cases = {
      {"empty", {}, {0x00}},
      {"run of three then one", words({7, 7, 7, 9}), {0x01, 7, 0, 0, 0, 0x02, 9, 0, 0, 0}},
      {"nine distinct words take two groups",
       words({1, 2, 3, 4, 5, 6, 7, 8, 9}),
       {0x00, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 4, 0,    0, 0, 5, 0,
        0,    0, 6, 0, 0, 0, 7, 0, 0, 0, 8, 0, 0, 0, 0x00, 9, 0, 0, 0}},
      {"a run stops at 255 copies", Bytes(257 * 4, 0), {0x01, 0, 0, 0, 0, 0xFF, 0, 0, 0, 0}},
      {"second item with a run sets bit 1", words({5, 6, 6}), {0x02, 5, 0, 0, 0, 6, 0, 0, 0, 0x01}},
      {"a partial last word is padded with zeros",
       {1, 2, 3, 4, 5, 6},
       {0x00, 1, 2, 3, 4, 5, 6, 0, 0}},
  };
  for (const Golden& g : cases) {
    SCOPED_TRACE(g.name);
    EXPECT_EQ(pack(g.raw), g.packed);
    bool ok = false;
    EXPECT_EQ(unpack(g.packed, static_cast<uint32_t>(g.raw.size()), &ok), g.raw);
    EXPECT_TRUE(ok);
  }
}

TEST(PrevData, ZeroSnapshotPacksToAboutFiveBytesPer256Words) {
  const Bytes raw(256 * 1024 * 4, 0);
  const Bytes packed = pack(raw);
  // 1024 items of word + count, one flag byte per eight items.
  EXPECT_EQ(packed.size(), 1024u * 5 + 1024u / 8);
  EXPECT_EQ(unpack(packed, static_cast<uint32_t>(raw.size())), raw);
}

TEST(PrevData, DataWithoutRunsFitsTheBufferAtFullSize) {
  Bytes raw(engine::kSaveBufferBytes);
  std::mt19937 rng(7);
  for (size_t i = 0; i < raw.size(); i += 4) {
    const uint32_t w = static_cast<uint32_t>(i / 4) * 2654435761u ^ rng();
    std::memcpy(raw.data() + i, &w, 4);
  }
  Bytes out(engine::kPrevDataBytes);
  const uint32_t n = save::prev_pack(raw.data(), static_cast<uint32_t>(raw.size()), out.data(),
                                     engine::kPrevDataBytes);
  EXPECT_EQ(n, raw.size() + raw.size() / 32);  // one flag byte per eight words
  out.resize(n);
  EXPECT_EQ(unpack(out, static_cast<uint32_t>(raw.size())), raw);
  // A buffer too small for the worst case is refused rather than overrun.
  EXPECT_EQ(save::prev_pack(raw.data(), static_cast<uint32_t>(raw.size()), out.data(),
                            static_cast<uint32_t>(raw.size())),
            0u);
}

TEST(PrevData, UnpackStopsAtTheRawLengthAndRejectsCutData) {
  const Bytes packed = {0x01, 0, 0, 0, 0, 0xFF};  // 256 zero words
  bool ok = false;
  EXPECT_EQ(unpack(packed, 10, &ok), Bytes(10, 0));  // more words than asked: writes 10 bytes
  EXPECT_TRUE(ok);
  unpack({0x01, 0, 0, 0, 0}, 20, &ok);  // count byte missing
  EXPECT_FALSE(ok);
  unpack({0x00, 1, 2}, 4, &ok);  // word cut
  EXPECT_FALSE(ok);
  unpack({0x00, 1, 2, 3, 4}, 8, &ok);  // fewer words than the raw length
  EXPECT_FALSE(ok);
}

}  // namespace
