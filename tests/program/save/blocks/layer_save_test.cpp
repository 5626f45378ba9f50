// The layer block: a layer's record at its offsets, layers stored as empty (fading out, no file),
// the rebuild from bytes laid out by hand (text items, kept name, endless shake), and the
// refusals of its check.
#include "graphics/layers/layer_text_items.h"
#include "program/save/blocks/blocks_fixture.h"

namespace blockstest {
namespace {

constexpr uint32_t kSlot = 0x10000000;
constexpr size_t kRecord = 1328;  // sprite info to the image operations

class LayerSaveTest : public BlocksTest {
 protected:
  void SetUp() override {
    BlocksTest::SetUp();
    fake().files = {{"BG.png", {640, 480}}, {"CHARA.png", {300, 600}}};
  }
  layers::ImageRecord* add_layer(uint32_t n, uint32_t file, const char* name) {
    layers::ImageRecord* image = layers::image_alloc(layers::kBaseLayer, n);
    image->hSprite = sprite_named(name, 640, 480);
    image->lFileNo = file;
    std::strncpy(image->szFileName, name, 31);
    vm().layers[n].lpImage = image;
    return image;
  }
};

TEST_F(LayerSaveTest, ALayerIsStoredAtItsOffsetsAndUnloadableLayersAsEmpty) {
  vm().faceTable[0] = {2, -134, 5, 6};
  layers::ImageRecord* bg = add_layer(2, kSlot | 1, "BG");
  bg->base.pos.x = 33;
  bg->dwAnimeNo = 4;
  bg->graphicInfo.flags = 0x2000;
  engine::LayerSlot& slot = vm().layers[2];
  slot.dwFlags = 0x200000;
  slot.nUserValue = -9;
  slot.nShakeMode = 2;
  slot.dwShakeLength = 0xFFFFFFFFu;
  slot.nMovieLoop = 3;
  slot.graphChild[1][0] = 16;
  layers::layer_text_items(2) = {{1, 0, 0, 24, 0xFFFFFF, 0, 3, 4, "hi"},
                                 {1, 0, 0, 24, 0xFFFFFF, 0, 0, 30, std::string(261, 'x')}};
  add_layer(5, 0x44, "CHARA");
  vm().layers[5].dwTransState = 1;  // fading out
  add_layer(6, 0, "loading");       // no file yet
  add_layer(70, 0x45, "CHARA");     // layers from 64 up are not stored

  const Bytes b = write(save::layer_save_write);
  // Two text lines; the one over 260 bytes is stored with no text.
  ASSERT_EQ(b.size(), 384u + kRecord + 4 + (36 + 2) + 36 + 32);
  EXPECT_TRUE(logged(0, "error write layerEx over string count=1"));
  EXPECT_EQ(word_at(b, 0), 2u);
  EXPECT_EQ(static_cast<int32_t>(word_at(b, 4)), -134);
  EXPECT_EQ(word_at(b, 16), 0xFFFFFFFFu);
  const size_t at = 128 + 2 * 4;
  EXPECT_EQ(word_at(b, 128), 0u);
  EXPECT_EQ(word_at(b, at), kSlot | 1);
  EXPECT_EQ(word_at(b, at + 4 + 28), 640u);  // sprite info width
  EXPECT_EQ(word_at(b, at + 376), 33u);      // BaseTransform pos.x
  EXPECT_EQ(word_at(b, at + 528 + 32), 0x2000u);
  EXPECT_EQ(word_at(b, at + 660), 4u);
  EXPECT_EQ(word_at(b, at + 664), 0x200000u);
  EXPECT_EQ(static_cast<int32_t>(word_at(b, at + 668)), -9);
  EXPECT_EQ(word_at(b, at + 672), 2u);
  EXPECT_EQ(word_at(b, at + 680), 0xFFFFFFFFu);
  EXPECT_EQ(word_at(b, at + 688), 3u);
  EXPECT_EQ(word_at(b, at + 692 + 80), 16u);
  EXPECT_EQ(word_at(b, at + 1332), 2u);
  EXPECT_EQ(word_at(b, at + 1336 + 12), 24u);  // font size
  EXPECT_EQ(word_at(b, at + 1336 + 24), 3u);   // x
  EXPECT_EQ(word_at(b, at + 1336 + 32), 2u);   // length
  EXPECT_EQ(b[at + 1336 + 36], 'h');
  EXPECT_EQ(word_at(b, at + 1374 + 32), 0u);  // the long line's length
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.data() + at + 1410)), "BG");
  for (uint32_t n : {3u, 4u, 5u, 6u}) EXPECT_EQ(word_at(b, at + 1442 + 4 * (n - 3)), 0u) << n;
  EXPECT_TRUE(accepts(save::layer_save_check, b));
}

// Layer 1 from string slot name "CHARA" with two text items and an endless shake; layer 3 a
// File.dat reference that does not resolve to a loadable file.
Bytes layer_fixture(uint32_t anime_no = 0, uint32_t flags = 0x200000, int32_t movie_loop = 0) {
  Lay l;
  l.u32(1).i32(0).i32(0).i32(0);
  for (int i = 1; i < 8; ++i) l.u32(0xFFFFFFFFu).u32(0xFFFFFFFFu).u32(0xFFFFFFFFu).u32(0xFFFFFFFFu);
  l.u32(0);
  l.u32(kSlot | 2);
  Lay info;
  info.i32(1).u32(0xFFFFFFFFu).zeros(12 + 8).i32(300).i32(600).i32(300).i32(600).zeros(8).i32(4998);
  info.zeros(372 - info.size());
  l.bytes(info.b);
  l.i32(40).i32(50).zeros(152 - 8);
  l.zeros(132);
  l.u32(anime_no).u32(flags).i32(0).i32(1).i32(6).u32(0xFFFFFFFFu).u32(123).i32(movie_loop);
  l.zeros(640);
  l.u32(2);
  l.u32(1).zeros(20).i32(7).i32(9).u32(5).text("hello", 5);
  l.u32(1).zeros(28).u32(0);
  l.text("CHARA", 32);
  l.u32(0);
  l.u32(0x77);  // layer 3
  l.bytes(info.b).zeros(152 + 132 + 4 * 8 + 640).u32(0);
  l.zeros(60 * 4);
  return l.b;
}

TEST_F(LayerSaveTest, StoredLayersAreLoadedAgainFromTheirFiles) {
  const Bytes b = layer_fixture();
  ASSERT_TRUE(accepts(save::layer_save_check, b));
  std::memset(vm().faceTable, 0xFF, sizeof vm().faceTable);
  EXPECT_EQ(read(save::layer_save_read, b), b.size());
  EXPECT_EQ(vm().faceTable[0].dwLayer, 1u);
  const layers::ImageRecord* image = vm().layers[1].lpImage;
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->lFileNo, kSlot | 2);
  EXPECT_STREQ(image->szFileName, "CHARA");
  EXPECT_EQ(image->base.pos.x, 40);
  EXPECT_EQ(image->dwIndex, 17u);
  const layerstest::FakeSprite* s = fake().at(image->hSprite);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->name, "CHARA.png");
  EXPECT_EQ(rec.infos[image->hSprite].priority, 4998);
  const engine::LayerSlot& slot = vm().layers[1];
  EXPECT_EQ(slot.nShakeAmplitude, 6);
  EXPECT_EQ(slot.dwShakeStart, orv.OrvtimeGetTime());  // an endless shake starts again now
  // The face layer stays hidden until the text window shows it.
  EXPECT_EQ(s->visible, 0);
  // Layer 3's file does not load: the layer keeps its record without a sprite, and the block
  // is read to its end.
  ASSERT_NE(vm().layers[3].lpImage, nullptr);
  EXPECT_EQ(vm().layers[3].lpImage->hSprite, 0u);
  EXPECT_EQ(vm().layers[3].lpImage->lFileNo, 0x77u);
  // The text line is drawn again at its place; the empty one is dropped.
  ASSERT_EQ(layers::layer_text_items(1).size(), 1u);
  EXPECT_EQ(layers::layer_text_items(1)[0].text, "hello");
  EXPECT_EQ(rec.calls.back(), "text " + std::to_string(image->hSprite) + " hello 7 9");
  // Written again: the same record, hidden as a face, with its one text line.
  const Bytes again = write(save::layer_save_write);
  EXPECT_TRUE(accepts(save::layer_save_check, again));
  EXPECT_EQ(word_at(again, 128 + 4), kSlot | 2);
  const auto part = [](const Bytes& v, size_t from, size_t to) {
    return Bytes(v.begin() + static_cast<std::ptrdiff_t>(from),
                 v.begin() + static_cast<std::ptrdiff_t>(to));
  };
  const size_t rec = 128 + 8;  // layer 1's sprite info; its visible word now 0
  EXPECT_EQ(part(again, rec + 4, rec + 680), part(b, rec + 4, rec + 680));
  EXPECT_EQ(word_at(again, rec + 680), orv.OrvtimeGetTime());
  EXPECT_EQ(part(again, rec + 684, rec + kRecord), part(b, rec + 684, rec + kRecord));
  EXPECT_EQ(word_at(again, rec + kRecord), 1u);
  EXPECT_EQ(part(again, rec + kRecord + 4, rec + kRecord + 4 + 36 + 5),
            part(b, rec + kRecord + 4, rec + kRecord + 4 + 36 + 5));
  // Releasing the layer empties its list.
  layers::layer_release_now(vm(), vm().layers[1]);
  EXPECT_TRUE(layers::layer_text_items(1).empty());
  layers::layers_clear_all(vm());
}

TEST_F(LayerSaveTest, AnAnimationSlotOutOfRangeIsLoggedAndDropped) {
  const Bytes b = layer_fixture(200);
  ASSERT_TRUE(accepts(save::layer_save_check, b));
  EXPECT_EQ(read(save::layer_save_read, b), b.size());
  ASSERT_NE(vm().layers[1].lpImage, nullptr);
  EXPECT_EQ(vm().layers[1].lpImage->dwAnimeNo, 0u);
  EXPECT_TRUE(logged(0, "*** ERROR load layer=1 dwAnimeNo=200"));
  layers::layers_clear_all(vm());
}

// A stored layer carries out its recorded image operation before its text is drawn again,
// then applies its recorded filters in increasing order; the records come back byte for byte.
TEST_F(LayerSaveTest, RecordedOperationsAndFiltersAreCarriedOutAgain) {
  Bytes b = layer_fixture(0, 0x40000 | 1u << 9 | 1u << 3);
  const size_t ops = 128 + 4 + 692;  // layer 1's first operation record
  const Bytes fill = Lay().u32(19).u32(1).i32(1).i32(2).u32(0xFF00FF00u).i32(0).i32(3).i32(4).b;
  std::copy(fill.begin(), fill.end(), b.begin() + static_cast<std::ptrdiff_t>(ops));
  ASSERT_TRUE(accepts(save::layer_save_check, b));
  orv.OrvSpriteBoxFill = [](OrvHandle s, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t c) {
    g_rec->calls.push_back("fill " + std::to_string(s) + " " + std::to_string(x) + " " +
                           std::to_string(y) + " " + std::to_string(w) + " " + std::to_string(h) +
                           " " + std::to_string(c));
  };
  orv.OrvSpriteSetOption = [](OrvHandle s, int32_t option) -> OrvBool {
    g_rec->calls.push_back("option " + std::to_string(s) + " " + std::to_string(option));
    return 1;
  };
  EXPECT_EQ(read(save::layer_save_read, b), b.size());
  const std::string s = std::to_string(vm().layers[1].lpImage->hSprite);
  std::vector<std::string> order;
  for (const std::string& c : rec.calls) {
    if (c.rfind("fill", 0) == 0 || c.rfind("text", 0) == 0 || c.rfind("option", 0) == 0) {
      order.push_back(c);
    }
  }
  EXPECT_EQ(order, (std::vector<std::string>{"fill " + s + " 1 2 3 4 4278255360",
                                             "text " + s + " hello 7 9", "option " + s + " 3",
                                             "option " + s + " 1285"}));
  const Bytes again = write(save::layer_save_write);
  EXPECT_TRUE(
      std::equal(fill.begin(), fill.end(), again.begin() + static_cast<std::ptrdiff_t>(ops)));
  layers::layers_clear_all(vm());
}

// A layer flagged as holding a movie sprite starts its movie again with the stored loop word;
// the flag on a picture that is no movie sprite, or a movie sprite without the flag (loaded but
// never played by the script), starts nothing.
TEST_F(LayerSaveTest, AMovieSpriteIsStartedAgainWithItsLoopWord) {
  struct Case {
    const char* what;
    uint32_t flags;
    bool movie;
    bool played;
  };
  const Case cases[] = {{"movie flag, movie sprite", 0x400000, true, true},
                        {"movie flag, a picture", 0x400000, false, false},
                        {"no flag, movie sprite", 0x200000, true, false}};
  static std::vector<std::string>* plays = nullptr;
  static bool is_movie = false;
  std::vector<std::string> calls;
  plays = &calls;
  orv.OrvMSpriteCheck = [](OrvHandle) -> OrvBool { return is_movie ? 1 : 0; };
  orv.OrvMSpritePlay = [](OrvHandle s, int32_t loop) -> OrvBool {
    plays->push_back("play " + std::to_string(s) + " loop " + std::to_string(loop));
    return 1;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    calls.clear();
    is_movie = c.movie;
    layers::layers_clear_all(vm());
    const Bytes b = layer_fixture(0, c.flags, 3);
    ASSERT_TRUE(accepts(save::layer_save_check, b));
    EXPECT_EQ(read(save::layer_save_read, b), b.size());
    const layers::ImageRecord* image = vm().layers[1].lpImage;
    ASSERT_NE(image, nullptr);
    ASSERT_NE(image->hSprite, 0u);
    EXPECT_EQ(vm().layers[1].nMovieLoop, 3);
    if (c.played) {
      ASSERT_EQ(calls.size(), 1u);
      EXPECT_EQ(calls[0], "play " + std::to_string(image->hSprite) + " loop 3");
    } else {
      EXPECT_TRUE(calls.empty());
    }
  }
  plays = nullptr;
  layers::layers_clear_all(vm());
}

TEST_F(LayerSaveTest, TheCheckRefusesCutsAndValuesOutOfRange) {
  const Bytes b = layer_fixture();
  const size_t rec1 = 128 + 4 + 4;  // layer 1's sprite info
  const size_t items = rec1 + kRecord;
  expect_breaks_refused(save::layer_save_check, b,
                        {{0, 128, "face layer"},
                         {rec1 + 28, 16385, "layer sprite size"},
                         {rec1 + 32, static_cast<uint32_t>(-5), "layer sprite size"},
                         {items, 0x10000000u, "layer text count"},
                         {items + 4 + 32, 261, "layer text length"}});
  // A text length that runs past the block is an early end.
  Bytes past = b;
  put_word(past, items + 4 + 32 + 4 + 5 + 32, 200);
  EXPECT_FALSE(accepts(save::layer_save_check, past));
  for (size_t n : {size_t{0}, size_t{127}, size_t{128}, size_t{131}, size_t{200}, items, items + 3,
                   items + 40, items + 4 + 36 + 5 + 36 + 10, b.size() - 4, b.size() - 1}) {
    const Bytes cut(b.begin(), b.begin() + static_cast<std::ptrdiff_t>(n));
    const char* field = nullptr;
    EXPECT_FALSE(accepts(save::layer_save_check, cut, &field)) << n;
    EXPECT_NE(field, nullptr) << n;
  }
}

}  // namespace
}  // namespace blockstest
