// The layer image commands and run, as assembled scripts on the real interpreter with the
// platform's sprite calls faked: what is visible before and after each commit, the exact log
// lines, and the asynchronous load with its worker run by hand.
#include <gtest/gtest.h>

#include "engine/neighbours.h"
#include "engine/vm_log.h"
#include "graphic_dat/graphic_dat_writer.h"
#include "graphics/layers/graphic_dat.h"
#include "graphics/layers/layer_commands.h"
#include "program/graphics/layers/layers_fixture.h"
#include "save/save_blocks.h"

namespace layerstest {
namespace {

class LayerCommandsTest : public LayersTest {
 protected:
  void SetUp() override {
    LayersTest::SetUp();
    fake().files = {{"BG01.png", {1280, 720}},
                    {"CH01.png", {400, 600}},
                    {"CH01.vkx", {400, 600}},
                    {"CH02B.png", {300, 500}},
                    {"FACE.png", {300, 500}}};
  }
  void TearDown() override {
    layers::graphic_dat.clear();
    LayersTest::TearDown();
  }
  bool visible(uint32_t layer) {
    const FakeSprite* s = sprite_of(layer);
    return s && s->visible;
  }
};

TEST_F(LayerCommandsTest, TwoLayersAppearTogetherOnlyAtRun) {
  load(
      "  call sp_set(file\"BG01\", 3, 10, 2) -> r1\n"
      "  call sp_set(file\"CH01\", 4, 10, 2) -> r2\n"
      "  call wait_frame\n"
      "  call run(0, 0, 0) -> r3\n");
  run();
  ASSERT_TRUE(image(3) && image(4));
  EXPECT_FALSE(visible(3) || visible(4));
  EXPECT_TRUE(fake().called("load CH01.vkx")) << "the first extension found wins";
  // Codes (10, 2) on 1280 x 720: x = 64 * 10 - 200, y = 720 - 600.
  EXPECT_EQ(sprite_of(4)->x, 440.0f);
  EXPECT_EQ(sprite_of(4)->y, 120.0f);
  run();
  EXPECT_TRUE(visible(3) && visible(4));
  EXPECT_TRUE(fake().called("effect 0 0 0"));
  EXPECT_TRUE(logged(10, "sp_set  BG01, 3, 4996"));
  EXPECT_TRUE(logged(10, "sp_set  CH01, 4, 4995"));
  EXPECT_TRUE(logged(10, "run  0, 0"));
}

TEST_F(LayerCommandsTest, RunChecksItsEffectNumberAndStartsNoTransitionWhileSkipping) {
  load(
      "  call run(101, 0, 0) -> r1\n"
      "  call run(100, 200, 1) -> r2\n"
      "  call run(-1, 0, 0) -> r3\n");
  run();
  run();
  EXPECT_TRUE(logged(0, "run error : 範囲外の値を指定しています。no = 101"));
  EXPECT_TRUE(fake().called("effect 100 200 1"));
  run();

  vm().run.bSkip = 1;  // Ctrl held
  fake().calls.clear();
  load("  call sp_set(file\"BG01\", 0, 10, 0)\n  call run(12, 500, 1)\n  mov r4, 1\n");
  run();
  EXPECT_TRUE(logged(10, "run  skip"));
  EXPECT_TRUE(visible(0)) << "the queue is committed all the same";
  for (const auto& c : fake().calls) EXPECT_EQ(c.rfind("effect", 0), std::string::npos) << c;
}

TEST_F(LayerCommandsTest, RunStackCommitsTheLastRecordedKindOnce) {
  load(
      "  call sp_set(file\"BG01\", 0, 10, 0)\n"
      "  call run_stack(1)\n"
      "  call run(12, 500, 1)\n"
      "  call run_no_wait\n"
      "  call wait_frame\n"
      "  call run_stack(0)\n"
      "  call sp_set(file\"CH01\", 1, 10, 0)\n"
      "  call run_stack(1)\n"
      "  call run_stack(0)\n"
      "  call wait_frame\n"
      "  call run_stack(1)\n"
      "  call run(7, 300, 0)\n"
      "  call run_stack(0)\n");
  run();
  EXPECT_FALSE(visible(0)) << "run and run_no_wait only record inside the batch";
  run();
  EXPECT_TRUE(visible(0));
  EXPECT_TRUE(logged(10, "run_stack[2]"));
  EXPECT_FALSE(visible(1)) << "a batch with nothing recorded commits nothing";
  run();
  EXPECT_TRUE(visible(1));
  EXPECT_TRUE(logged(10, "run_stack[1][7][300][0]"));
  EXPECT_FALSE(fake().called("effect 12 500 1"));
  EXPECT_TRUE(fake().called("effect 7 300 0"));
}

TEST_F(LayerCommandsTest, LayerTransitionGetsNoTimeUnderRunAndItsOwnUnderRunNoWait) {
  load("  call run(0, 0, 0)\n  call run_no_wait\n");
  auto prepare = [&] {
    engine::LayerSlot& slot = vm().layers[2];
    if (!slot.lpImage) slot.lpImage = layers::image_alloc(layers::kBaseLayer, 2);
    slot.dwTransState = 2;
    slot.bTransQueued = 1;
    slot.hTransIn = 41;
    slot.hTransOut = 42;
    slot.nTransKind = 3;
    slot.nTransTime = 800;
    layers::display_op_queue(vm(), layers::kOpTransition, 2);
  };
  prepare();
  run();
  EXPECT_TRUE(fake().called("transition 41 42 3 0"));
  prepare();
  run();
  EXPECT_TRUE(fake().called("transition 41 42 3 800"));
  EXPECT_TRUE(logged(10, "run_no_wait"));
}

// A layer transition queued but not yet run holds sprites that no commit has handed over:
// clearing the layer gives them back with its image (at the commit, or at once on a reset),
// instead of leaving them on screen.
TEST_F(LayerCommandsTest, ClearingALayerGivesBackTheSpritesOfItsQueuedTransition) {
  for (bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "reset" : "sp_cls and run");
    load(
        "  call sp_set(file\"BG01\", 2, 10, 0)\n  call run(0, 0, 0)\n"
        "  call sp_cls(2)\n  call wait_frame\n  call run(0, 0, 0)\n");
    run();
    engine::LayerSlot& slot = vm().layers[2];
    ASSERT_NE(slot.lpImage, nullptr);
    const uint32_t picture = slot.lpImage->hSprite;
    const uint32_t in = fake().add("in", 8, 8), out = fake().add("out", 8, 8);
    slot.dwTransState = 2;
    slot.bTransQueued = 1;
    slot.hTransIn = in;
    slot.hTransOut = out;
    if (reset) {
      layers::layers_clear_all(vm());
    } else {
      run();
      EXPECT_NE(fake().at(in), nullptr) << "kept until the commit";
      run();
    }
    EXPECT_EQ(fake().at(in), nullptr);
    EXPECT_EQ(fake().at(out), nullptr);
    EXPECT_EQ(fake().at(picture), nullptr);
    EXPECT_EQ(image(2), nullptr);
  }
}

// get_backbuffer of an empty layer and sp_load_wait of a layer without a load end at once.
TEST_F(LayerCommandsTest, BackBufferAndLoadWaitOfAnEmptyLayerDoNothing) {
  load("  call get_backbuffer(9)\n  call sp_load_wait(9)\n  mov r3, 1\n");
  run();
  EXPECT_EQ(vm().reg[3], 1u) << "the script went on in the same frame";
  for (const std::string& c : fake().calls) EXPECT_EQ(c.rfind("backbuffer", 0), std::string::npos);
  EXPECT_TRUE(logged(10, "sp_load_wait  9 : time 0"));
}

TEST_F(LayerCommandsTest, ClearedBeforeTheCommitLogsTheGoneLayer) {
  load(
      "  call sp_set(file\"BG01\", 6, 10, 0)\n"
      "  call sp_cls(6)\n"
      "  call run(0, 0, 0)\n");
  run();
  EXPECT_TRUE(logged(0, "run error : 既に消されたレイヤーを表示しようとしています。drawlayer = 6"));
  EXPECT_TRUE(logged(10, "sp_cls  6"));
  EXPECT_EQ(image(6), nullptr);
  for (const auto& [id, s] : fake().sprites) EXPECT_TRUE(s.released) << s.name;
}

TEST_F(LayerCommandsTest, ClsOfAllAndOfARangeReleaseAtTheNextCommit) {
  for (uint32_t n : {0u, 1u, 2u, 3u, 119u, 120u, 127u}) {
    engine::LayerSlot& slot = vm().layers[n];
    slot.lpImage = layers::image_alloc(layers::kBaseLayer, n);
    slot.lpImage->hSprite = fake().add("l" + std::to_string(n), 1, 1);
  }
  const uint32_t s120 = image(120)->hSprite;
  load(
      "  call sp_cls_ex(120, 20) -> r1\n"
      "  call sp_cls_ex(-1, 2) -> r2\n"
      "  call sp_cls_ex(128, 1) -> r3\n"
      "  call wait_frame\n"
      "  call run_no_wait\n"
      "  call sp_cls(-1)\n"
      "  call sp_cls(-2) -> r4\n");
  run();
  EXPECT_EQ(image(120), nullptr);
  EXPECT_EQ(image(127), nullptr);
  EXPECT_NE(image(119), nullptr);
  EXPECT_EQ(image(0), nullptr) << "-1 starts at layer 0";
  EXPECT_NE(image(1), nullptr);
  EXPECT_NE(fake().at(s120), nullptr) << "still shown until the commit";
  EXPECT_TRUE(logged(10, "sp_cls_ex  120, 20"));
  run();
  EXPECT_EQ(fake().at(s120), nullptr);
  EXPECT_EQ(image(1), nullptr);
  EXPECT_EQ(image(119), nullptr);
  EXPECT_TRUE(logged(0, "graph error : 範囲外の値を指定しています。no = -2"));
}

TEST_F(LayerCommandsTest, CreateFillsAColourSpriteShownAtTheCommit) {
  load(
      "  call sp_create(5, file\"#FF000000\", 10, 20, 1280, 720) -> r1\n"
      "  call sp_paint(5, file\"#80FF0000\", 0, 0, 0, 0)\n"
      "  call sp_fill_alpha(5, 0x40)\n"
      "  call wait_frame\n"
      "  call run(0, 0, 0)\n");
  run();
  ASSERT_NE(sprite_of(5), nullptr);
  EXPECT_EQ(sprite_of(5)->w, 1280);
  EXPECT_FALSE(visible(5));
  const std::string id = std::to_string(image(5)->hSprite);
  EXPECT_TRUE(fake().called("paint " + id + " whole " + std::to_string(0xFF000000u)));
  EXPECT_TRUE(fake().called("paint " + id + " whole " + std::to_string(0x80FF0000u)));
  EXPECT_EQ(sprite_of(5)->pixels[0], 0x40000000u);
  EXPECT_TRUE(logged(10, "sp_create 5, #FF000000, 10, 20, 1280, 720"));
  EXPECT_TRUE(logged(10, "sp_paint 5, 0x80FF0000, 0, 0, 0, 0"));
  run();
  EXPECT_TRUE(visible(5));
  EXPECT_EQ(image(5)->base.pos.x, 10);
}

TEST_F(LayerCommandsTest, GraphicDatRecordReplacesTheFileAndPlacesTheImage) {
  std::string error;
  std::vector<layers::GraphicInfo> records;
  ASSERT_TRUE(graphicdat::parse_list(
      "CH02 load=CH02B step=1 x=30 y=-10 scale=150 color=0x80FFFFFF\n", &records, &error))
      << error;
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(graphicdat::build(records, true, &bytes, &error)) << error;
  ASSERT_TRUE(layers::graphic_dat.load(bytes, &error)) << error;
  fake().sprites.clear();
  load("  call sp_set_ex(file\"CH02\", 7, 0xFFFF, 0xFFFF, 9)\n  call run(0, 0, 0)\n");
  run();
  ASSERT_NE(image(7), nullptr);
  EXPECT_TRUE(fake().called("load CH02B.png"));
  EXPECT_EQ(image(7)->base.pos.x, 30);
  EXPECT_EQ(image(7)->base.pos.y, -10);
  EXPECT_EQ(image(7)->base.pos.z, 0);
  EXPECT_EQ(sprite_of(7)->sx, 1.5f);
  EXPECT_EQ(sprite_of(7)->color, 0x80FFFFFFu);
  EXPECT_EQ(image(7)->graphicInfo.scalePercent, 150);
  EXPECT_TRUE(logged(10, "sp_set_ex  CH02, 7, 65535, 65535, 9"));
}

TEST_F(LayerCommandsTest, BadLayerAndMissingFile) {
  load(
      "  call sp_set(file\"BG01\", 128, 0, 0) -> r1\n"
      "  call sp_set(file\"NONE\", 4, 0, 0) -> r2\n"
      "  call sp_show(4) -> r3\n");
  run();
  EXPECT_TRUE(logged(0, "graph error : 範囲外の値を指定しています。no = 128"));
  EXPECT_TRUE(logged(0, "sprite load error [NONE]"));
  EXPECT_EQ(image(4), nullptr);
  EXPECT_EQ(layers::image_table[16 + 4].dwIndex, 0u) << "the new record went again";
}

TEST_F(LayerCommandsTest, FaceEntryGivesTheBottomCentre) {
  load(
      "  call face_init(2, 9, 640, 720, 1)\n"
      "  call face_set(file\"FACE\", 2, 5, 6) -> r1\n"
      "  call face_set(file\"FACE\", 3, 0, 0) -> r2\n"
      "  call face_set(file\"FACE\", 8, 0, 0) -> r3\n"
      "  call face_cls(3) -> r4\n"
      "  call run(0, 0, 0)\n"
      "  call face_cls(2)\n");
  run();
  ASSERT_NE(image(9), nullptr);
  EXPECT_EQ(image(9)->base.pos.x, 490 + 5);
  EXPECT_EQ(image(9)->base.pos.y, 220 + 6);
  EXPECT_TRUE(logged(0, "no = -1")) << "an entry without a layer has nothing to load into";
  EXPECT_TRUE(layers::is_face_layer(vm(), 9));
  EXPECT_FALSE(layers::is_face_layer(vm(), 10));
  EXPECT_TRUE(logged(10, "face_init  2, 9, 640, 720, 1"));
  EXPECT_TRUE(logged(10, "face_set  FACE, 2, 5, 6"));
  const uint32_t sprite = image(9)->hSprite;
  run();
  EXPECT_EQ(image(9), nullptr);
  EXPECT_EQ(fake().at(sprite), nullptr) << "face_cls releases at once";
}

TEST_F(LayerCommandsTest, HistorySkipEndCoversTheScreenAtOnce) {
  load("  call sp_set(file\"BG01\", 65, 10, 0)\n  call run(0, 0, 0)\n");
  run();
  const uint32_t old = image(65)->hSprite;
  layers::history_skip_cover_image(vm());
  ASSERT_NE(sprite_of(65), nullptr);
  EXPECT_NE(image(65)->hSprite, old);
  EXPECT_EQ(fake().at(old), nullptr) << "the old picture went with the commit";
  EXPECT_TRUE(visible(65));
  EXPECT_EQ(sprite_of(65)->w, 1280);
  EXPECT_TRUE(logged(10, "force run_no_wait"));
}

TEST_F(LayerCommandsTest, FileNamesChildLinksFacesAndAFadeOutCancelled) {
  load(
      "  call sp_set(file\"BG01\", 3, 10, 0)\n"
      "  call sp_set(file\"CH01\", 4, 10, 0)\n"
      "  call face_init(1, 4, -1, -1, 0)\n"
      "  call run(0, 0, 0)\n");
  run();
  char name[33];
  EXPECT_EQ(layers::image_get_file_name(vm(), 4, name), 1u);
  EXPECT_STREQ(name, "CH01");
  EXPECT_EQ(layers::image_get_file_name(vm(), 5, name), 0u);
  std::strcpy(engine::AdvGetVarString(vm(), 2), "A_NAME_LONGER_THAN_THIRTY_ONE_BYTES");
  char kept[32];
  layers::image_op_keep_name(vm(), engine::kStringHandleBit | 2, kept);
  EXPECT_EQ(std::string(kept), "A_NAME_LONGER_THAN_THIRTY_ONE_B");
  layers::image_op_keep_name(vm(), 7, kept);
  EXPECT_EQ(kept[0], 0);

  engine::LayerSlot& parent = vm().layers[3];
  parent.dwFlags |= layers::kLayerChildren;
  parent.graphChild[0][0] = layers::kChildLink;
  parent.graphChild[0][1] = 4;
  parent.graphChild[1][0] = layers::kChildLink;
  parent.graphChild[1][1] = 200;  // out of range: skipped
  EXPECT_EQ(layers::layer_image_is_child(vm(), image(4)), 1u);
  EXPECT_EQ(layers::layer_image_is_child(vm(), image(3)), 0u);
  layers::layers_frame_update(vm());
  EXPECT_EQ(image(4)->base.pos.x, 0) << "the child takes its parent's place plus its own offset";

  layers::face_view_ctrl(vm(), 0);
  EXPECT_FALSE(visible(4));
  EXPECT_TRUE(visible(3));
  layers::face_view_ctrl(vm(), 1);
  EXPECT_TRUE(visible(4));

  engine::LayerSlot& fading = vm().layers[4];
  fading.dwTransState = 1;
  fading.hTransition = layers::layer_transition_handle(fading);
  EXPECT_EQ(layers::layer_transition_cancel(vm(), fading), 1u);
  EXPECT_EQ(image(4), nullptr) << "a cancelled fade-out releases its layer";
}

// BG01 sorts first in File.dat: entry 0, which image records and saves read as "no file".
// Such a picture keeps its name, so that it can be asked for and a save stores the layer.
TEST_F(LayerCommandsTest, APictureFromFileDatEntryZeroKeepsItsName) {
  load("  call sp_set(file\"BG01\", 3, 10, 0)\n  call run(0, 0, 0)\n");
  run();
  ASSERT_NE(image(3), nullptr);
  char name[33];
  EXPECT_EQ(layers::image_get_file_name(vm(), 3, name), 1u);
  EXPECT_STREQ(name, "BG01");
  std::vector<uint8_t> block;
  codec::ByteWriter out(&block);
  save::layer_save_write(vm(), out);
  // After the face table (8 x 16 bytes) and the empty layers 0-2: layer 3 by name, its
  // 1,328-byte record, no text items, then the name.
  const size_t at = 128 + 3 * 4;
  ASSERT_GT(block.size(), at + 1336 + 32);
  EXPECT_EQ(codec::load_u32(block.data() + at), engine::kStringHandleBit);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.data() + at + 1336)), "BG01");
}

// ---- asynchronous loads: the worker is held back and run by the test ----

struct PostedWork {
  void (*func)(void*) = nullptr;
  void* arg = nullptr;
};
PostedWork g_posted;
std::vector<PostedWork> g_earlier;  // posted before the last one, oldest first
int32_t g_on_work_thread = 0;
uint32_t g_clock = 0;

class AsyncLoadTest : public LayerCommandsTest {
 protected:
  void SetUp() override {
    LayerCommandsTest::SetUp();
    g_posted = {};
    g_earlier.clear();
    g_on_work_thread = 0;
    orv.OrvAttachWorkProcess = [](void (*func)(void*), void* arg) -> int32_t {
      if (g_posted.func) g_earlier.push_back(g_posted);
      g_posted = {func, arg};
      return 1;
    };
    orv.OrvIsWorkThreadId = []() -> int32_t { return g_on_work_thread; };
  }
  void TearDown() override {
    for (const PostedWork& w : g_earlier) w.func(w.arg);
    g_earlier.clear();
    if (g_posted.func) g_posted.func(g_posted.arg);
    LayerCommandsTest::TearDown();
  }
  void work() {
    ASSERT_NE(g_posted.func, nullptr);
    g_posted.func(g_posted.arg);
    g_posted = {};
  }
};

TEST_F(AsyncLoadTest, WorkerFillsTheImageAndDrawShowsIt) {
  load(
      "  call sp_load(file\"CH01\", 5, 0)\n"
      "  call wait_frame\n"
      "  call sp_load_wait(5)\n"
      "  call sp_draw(5)\n"
      "  call run(0, 0, 0)\n");
  run();
  ASSERT_NE(image(5), nullptr);
  EXPECT_EQ(image(5)->lFileNo, 0u) << "pending";
  EXPECT_EQ(vm().layers[5].dwFlags, layers::kLayerAsyncLoad);
  work();
  EXPECT_EQ(vm().layers[5].dwAsyncRequest, 0u) << "complete";
  EXPECT_NE(image(5)->hSprite, 0u);
  EXPECT_TRUE(logged(10, "sp_load  CH01, 5, 0"));
  run();
  EXPECT_TRUE(logged(10, "sp_load_wait  5 : time 0"));
  EXPECT_TRUE(logged(10, "sp_draw  5"));
  EXPECT_TRUE(visible(5));
}

TEST_F(AsyncLoadTest, ReleasedBeforeTheWorkerGivesItsSpriteBack) {
  load("  call sp_load(file\"CH01\", 5, 0)\n  call wait_frame\n");
  run();
  layers::layers_clear_all(vm());  // a reset does not wait for the load
  EXPECT_EQ(image(5), nullptr);
  work();
  EXPECT_EQ(image(5), nullptr);
  for (const auto& [id, s] : fake().sprites) EXPECT_TRUE(s.released) << s.name;
}

TEST_F(AsyncLoadTest, FailedLoadEmptiesTheLayerSoWaitsEndAtOnce) {
  load("  call sp_load(file\"NONE\", 5, 0)\n  call wait_frame\n  call sp_load_wait(5)\n");
  run();
  work();
  EXPECT_EQ(image(5), nullptr);
  run();
  EXPECT_TRUE(logged(10, "sp_load_wait  5 : time 0"));
}

TEST_F(AsyncLoadTest, WaitGivesUpAfterThreeSecondsOfTheGameClock) {
  g_clock = 5000;
  platform::set_clock_source([] { return g_clock += 7; });
  load("  call sp_load(file\"CH01\", 5, 0)\n  call sp_load_wait(5)\n  call sp_cls(5)\n");
  run();
  bool found = false;
  for (const auto& [key, line] : logs_) {
    if (line.rfind("sp_load_wait  5 : time ", 0) == 0) {
      const int waited = std::stoi(line.substr(23));
      EXPECT_GE(waited, 3000);
      EXPECT_LT(waited, 3010);
      found = true;
    }
  }
  EXPECT_TRUE(found);
  EXPECT_EQ(image(5), nullptr);
  work();  // the worker comes late and finds its request gone
  for (const auto& [id, s] : fake().sprites) EXPECT_TRUE(s.released) << s.name;
}

// Mode 1, and mode 0 asked for on the work thread itself, load at once.
TEST_F(AsyncLoadTest, ModeOneAndTheWorkThreadLoadAtOnce) {
  for (const auto& [mode, on_work_thread] : {std::pair{1, 0}, std::pair{0, 1}}) {
    SCOPED_TRACE(mode);
    g_on_work_thread = on_work_thread;
    load("  call sp_load(file\"CH01\", 5, " + std::to_string(mode) + ")\n");
    run();
    EXPECT_EQ(g_posted.func, nullptr);
    ASSERT_NE(image(5), nullptr);
    EXPECT_NE(image(5)->hSprite, 0u);
    EXPECT_EQ(vm().layers[5].dwAsyncRequest, 0u);
  }
}

// A second load into the layer while the first one's worker is still reading: the first
// worker finds the slot waiting for another request and gives its sprite back; the second
// fills the layer.
TEST_F(AsyncLoadTest, ALoadReplacedWhileItsWorkerRunsGivesItsSpriteBack) {
  load(
      "  call sp_load(file\"CH01\", 5, 0)\n  call sp_load(file\"BG01\", 5, 0)\n"
      "  call wait_frame\n");
  run();
  ASSERT_EQ(g_earlier.size(), 1u);
  const PostedWork first = g_earlier[0];
  g_earlier.clear();
  first.func(first.arg);
  ASSERT_NE(image(5), nullptr);
  EXPECT_EQ(image(5)->hSprite, 0u) << "still waiting for the second";
  work();
  ASSERT_NE(image(5), nullptr);
  ASSERT_NE(fake().at(image(5)->hSprite), nullptr);
  EXPECT_EQ(fake().at(image(5)->hSprite)->name, "BG01.png");
  size_t alive = 0;
  for (const auto& [id, s] : fake().sprites) alive += s.released ? 0 : 1;
  EXPECT_EQ(alive, 1u) << "the first load's sprite went back";
}

}  // namespace
}  // namespace layerstest

namespace layerstest {
namespace {

// The commit's calls into the text window, through a text table of the test's own: the
// window's visible flag, and its current line, logged as a marker.
bool g_window_visible = false;

class CommitWithTextWindowTest : public LayerCommandsTest {
 protected:
  void SetUp() override {
    LayerCommandsTest::SetUp();
    saved_ = engine::neighbours.text;
    engine::TextSoundServices& t = engine::neighbours.text;
    t.text_window_visible = [](engine::VmContext&) { return g_window_visible; };
    t.text_line_report = [](engine::VmContext&) {
      engine::vm_log(engine::kLogMain, "name=Aya / voice=V001 / Hello");
    };
  }
  void TearDown() override {
    engine::neighbours.text = saved_;
    LayerCommandsTest::TearDown();
  }
  // The index of the first captured key-0 line that contains text, -1 for none.
  int line_at(const std::string& utf8) const {
    const std::string sjis = platform::utf8_to_sjis_lossy(utf8);
    for (size_t i = 0; i < logs_.size(); ++i) {
      if (logs_[i].first == 0 && logs_[i].second.find(sjis) != std::string::npos) {
        return static_cast<int>(i);
      }
    }
    return -1;
  }
  engine::TextSoundServices saved_{};
};

TEST_F(CommitWithTextWindowTest, AFaceAppearsOnlyWithTheWindow) {
  for (bool window : {false, true}) {
    SCOPED_TRACE(window ? "window shown" : "window hidden");
    g_window_visible = window;
    load(
        "  call face_init(2, 9, 640, 720, 1)\n"
        "  call face_set(file\"FACE\", 2, 0, 0)\n"
        "  call sp_set(file\"BG01\", 3, 10, 0)\n"
        "  call run(0, 0, 0)\n");
    run();
    EXPECT_EQ(visible(9), window);
    EXPECT_TRUE(visible(3)) << "other pictures show whatever the window does";
  }
}

TEST_F(CommitWithTextWindowTest, AGoneLayerIsReportedWithTheCurrentLine) {
  load(
      "  call sp_set(file\"BG01\", 6, 10, 0)\n"
      "  call sp_cls(6)\n"
      "  call run(0, 0, 0)\n");
  run();
  const int error = line_at("drawlayer = 6");
  ASSERT_GE(error, 0);
  EXPECT_EQ(line_at("name=Aya / voice=V001 / Hello"), error + 1);
}

}  // namespace
}  // namespace layerstest
