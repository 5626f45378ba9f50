// The real Velmora putting pictures into layers headless (dummy drivers, /DIB, a 640 x 480
// " VGA" screen) on the fixed-step clock, its frames dumped at chosen frame times and compared
// with golden PNGs in tests/e2e/golden/. The pictures are ImageMagick's (tests/e2e/pictures/,
// README there). Beside the whole-frame comparison, the transition frames are checked against
// the blend of the frames before and after, worked out here from the renderer's formulas.
//
// A frame that differs from its golden is left in <test folder>/layer-frames/ with a diff
// picture (red where a pixel differs); VELMORA_UPDATE_GOLDENS=1 writes the goldens instead
// (then look at them before committing). The frame times follow from the fixed 10 ms step and
// the script's waits; should start-up ever take a frame more, running the scene with
// VELMORA_FRAME_DUMP alone writes every frame and shows the new times.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>

#include "graphic_dat/graphic_dat_writer.h"
#include "platform/image_codec.h"
#include "support/game_folder.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;
namespace fs = std::filesystem;

namespace {

const std::string kPictures = std::string(VELMORA_SOURCE_DIR) + "/tests/e2e/pictures";
const std::string kGoldens = std::string(VELMORA_SOURCE_DIR) + "/tests/e2e/golden";

struct Frame {
  int32_t width = 0, height = 0;
  std::vector<uint32_t> pixels;  // 0xAARRGGBB
  uint32_t at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

bool load_png(const std::string& path, Frame* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
  platform::DecodedPixels d;
  std::string error;
  if (!platform::png_decode(bytes.data(), bytes.size(), {}, &d, &error)) return false;
  out->width = d.width;
  out->height = d.height;
  out->pixels.assign(d.pixels.begin(), d.pixels.end());
  for (uint32_t& p : out->pixels) p |= 0xFF000000u;  // frames are compared without alpha
  return true;
}

void save_png(const std::string& path, const Frame& f) {
  std::vector<uint8_t> png;
  ASSERT_TRUE(platform::png_encode(f.pixels.data(), f.width, f.height, false, &png));
  testsupport::write_file(path, std::string(png.begin(), png.end()));
}

// Runs the script in a 640 x 480 game folder holding the test pictures (and a graphic.dat made
// from `graphic_list` when it is given); returns the frames dumped at `times`, by time.
// Renderers a scene runs on: software (/DIB-free default under SDL's dummy driver), the GL
// renderer asked for with /DX under the offscreen driver (EGL, llvmpipe), and /DX under dummy,
// where no GL window can be made and the software renderer draws.
enum class Drawn { kSoftware, kGl, kGlAskedWithoutGl };

std::map<uint32_t, Frame> run_scene(const std::string& script, const std::vector<uint32_t>& times,
                                    const std::string& graphic_list = {},
                                    Drawn drawn = Drawn::kSoftware, std::string* output = nullptr) {
  GameFolderOptions o;
  o.comments = " VGA";
  o.script = script;
  GameFolder game(o);
  fs::create_directories(game / "data");
  for (const auto& entry : fs::directory_iterator(kPictures)) {
    if (entry.path().extension() == ".png")
      fs::copy_file(entry.path(), game / ("data/" + entry.path().filename().string()));
  }
  if (!graphic_list.empty()) {
    std::vector<layers::GraphicInfo> records;
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(graphicdat::parse_list(graphic_list, &records, &error)) << error;
    EXPECT_TRUE(graphicdat::build(records, false, &bytes, &error)) << error;
    testsupport::write_file(game / "data/graphic.dat", std::string(bytes.begin(), bytes.end()));
  }
  const std::string dump = game / "frames";
  fs::create_directories(dump);
  std::string at;
  for (uint32_t t : times) at += (at.empty() ? "" : ",") + std::to_string(t);
  std::map<std::string, std::string> env{{"VELMORA_MSGBOX_ANSWERS", "7"},
                                         {"VELMORA_FIXED_STEP_MS", "10"},
                                         {"VELMORA_FRAME_DUMP", dump},
                                         {"VELMORA_FRAME_DUMP_AT", at}};
  std::vector<std::string> args;
  if (drawn != Drawn::kSoftware) args.push_back("/DX");
  if (drawn == Drawn::kGl) {
    env["SDL_VIDEODRIVER"] = "offscreen";
    env["LIBGL_ALWAYS_SOFTWARE"] = "1";
    env["ASAN_OPTIONS"] = "detect_leaks=0";
  }
  const auto r = game.run(args, env);
  if (output) *output = r.output;
  EXPECT_EQ(r.exit_code, 0) << r.output;
  EXPECT_EQ(r.output.find("load error"), std::string::npos) << r.output;
  std::map<uint32_t, Frame> frames;
  for (uint32_t t : times) {
    Frame f;
    EXPECT_TRUE(load_png(dump + "/frame-" + std::to_string(t) + ".png", &f))
        << "no frame at " << t << " ms\n"
        << r.output;
    frames[t] = std::move(f);
  }
  return frames;
}

// The whole frame against tests/e2e/golden/<name>.png.
void expect_golden(const Frame& frame, const std::string& name) {
  SCOPED_TRACE(name);
  const std::string golden_path = kGoldens + "/" + name + ".png";
  const char* update = std::getenv("VELMORA_UPDATE_GOLDENS");
  if (update && *update == '1') {
    save_png(golden_path, frame);
    return;
  }
  Frame golden;
  ASSERT_TRUE(load_png(golden_path, &golden)) << golden_path;
  ASSERT_EQ(frame.width, golden.width);
  ASSERT_EQ(frame.height, golden.height);
  Frame diff = golden;
  size_t differing = 0;
  for (size_t i = 0; i < golden.pixels.size(); ++i) {
    const bool same = frame.pixels[i] == golden.pixels[i];
    differing += same ? 0 : 1;
    // Unchanged pixels dimmed to a quarter, changed ones red.
    diff.pixels[i] = same ? 0xFF000000u | ((golden.pixels[i] >> 2) & 0x3F3F3F) : 0xFFFF0000u;
  }
  if (differing == 0) return;
  const fs::path keep = fs::current_path() / "layer-frames";
  fs::create_directories(keep);
  save_png((keep / (name + ".png")).string(), frame);
  save_png((keep / (name + "-diff.png")).string(), diff);
  ADD_FAILURE() << differing << " pixels differ from " << golden_path
                << "; the frame and a diff are in " << keep.string();
}

// The software renderer's alpha blend of one channel of source s with alpha a onto target d,
// sprite colour white: m = (255 a) >> 8, d' = (d (256 - m) + ((s 255) >> 8) m) >> 8.
uint32_t blend_channel(uint32_t d, uint32_t s, uint32_t a) {
  const uint32_t m = (255 * a) >> 8;
  return (d * (256 - m) + ((s * 255) >> 8) * m) >> 8;
}
uint32_t blend(uint32_t target, uint32_t source, uint32_t alpha) {
  uint32_t out = 0xFF000000u;
  for (int shift = 0; shift < 24; shift += 8) {
    out |= blend_channel((target >> shift) & 0xFF, (source >> shift) & 0xFF, alpha) << shift;
  }
  return out;
}

// Every pixel of `mid` is the old frame blended over the new one with the alpha of its column.
void expect_blend_of(const Frame& mid, const Frame& old_frame, const Frame& new_frame,
                     uint32_t (*alpha_at)(int32_t x)) {
  size_t wrong = 0;
  int32_t first_x = -1, first_y = -1;
  for (int32_t y = 0; y < mid.height; ++y) {
    for (int32_t x = 0; x < mid.width; ++x) {
      if (mid.at(x, y) != blend(new_frame.at(x, y), old_frame.at(x, y), alpha_at(x))) {
        if (!wrong++) first_x = x, first_y = y;
      }
    }
  }
  EXPECT_EQ(wrong, 0u) << "first at " << first_x << ", " << first_y;
}

// Two layers loaded one after the other show up together, at the run; a cleared layer stays
// on screen until the next run.
TEST(LayersEndToEnd, TwoLayersAppearTogetherAtRunAndClearAtTheNext) {
  const auto frames = run_scene(
      "  call sp_set(file\"BG01\", 0, 10, 0)\n"
      "  call wait(100, 0)\n"
      "  call sp_set(file\"CH01\", 1, 10, 2)\n"
      "  call wait(100, 0)\n"
      "  call run(0, 0, 0)\n"
      "  call wait(100, 0)\n"
      "  call sp_cls(1)\n"
      "  call wait(100, 0)\n"
      "  call run(0, 0, 0)\n"
      "  call wait(100, 0)\n"
      "  end\n",
      // The script starts in the frame at 10 ms: each wait of 100 ms ends 110 ms later, so the
      // second picture is loaded by 120, the run is at 240, sp_cls at 350 and the next run at
      // 470.
      {230, 240, 460, 470});
  // Both loaded, not yet run: the screen is still the clear colour, black.
  for (uint32_t p : frames.at(230).pixels) ASSERT_EQ(p, 0xFF000000u);
  const Frame& both = frames.at(240);
  expect_golden(both, "layers-two-after-run");
  // The background #204060 drawn over black with m = 254: (((0x20 255) >> 8) 254) >> 8 = 30,
  // and so on; the character #E0A020 (opaque from 8, 8 of its 64 x 96) stands on the bottom
  // edge at the centre, x = 320 - 32 and y = 480 - 96, its clear margin showing the background.
  EXPECT_EQ(both.at(5, 5), 0xFF1E3E5Eu);
  EXPECT_EQ(both.at(320, 440), 0xFFDD9E1Fu);
  EXPECT_EQ(both.at(288 + 7, 384 + 40), 0xFF1E3E5Eu);
  EXPECT_EQ(both.at(288 + 8, 384 + 8), 0xFFDD9E1Fu);
  // sp_cls changes nothing on screen until its run; after it the background is alone.
  EXPECT_EQ(frames.at(460).pixels, both.pixels);
  const Frame& cleared = frames.at(470);
  expect_golden(cleared, "layers-cleared-after-run");
  for (uint32_t p : cleared.pixels) ASSERT_EQ(p, 0xFF1E3E5Eu);
}

// Two layers shown at once, a fade to a second background and a mask wipe back: the scene of
// the software goldens and of the GL run beside them.
constexpr const char* kFadeAndWipeScene =
    "  call sp_set(file\"BG01\", 0, 10, 0)\n"
    "  call sp_set(file\"CH01\", 1, 10, 2)\n"
    "  call run(0, 0, 0)\n"
    "  call wait(100, 0)\n"
    "  call sp_set(file\"BG02\", 0, 10, 0)\n"
    "  call sp_cls(1)\n"
    "  call run(1, 200, 0)\n"
    "  call wait(300, 0)\n"
    "  call sp_set(file\"BG01\", 0, 10, 0)\n"
    "  call sp_set(file\"CH01\", 1, 10, 2)\n"
    "  call run(10, 200, 0)\n"
    "  call wait(300, 0)\n"
    "  end\n";

// A fade and a mask wipe of 200 ms: their middle frames are the scene before blended over the
// scene after, with alpha 127 everywhere (the fade) or by the mask's column (the wipe).
TEST(LayersEndToEnd, FadeAndMaskWipeAtTheirMidpoints) {
  const auto frames =
      run_scene(kFadeAndWipeScene,
                // The first run at 20 ms; the fade from 140 to 340 (its middle at 240); the wipe
                // from 670 to 870 (its middle at 770), the scene alone from 880.
                {130, 240, 660, 770, 880});
  const Frame& first = frames.at(130);
  const Frame& grey = frames.at(660);
  const Frame& last = frames.at(880);
  expect_golden(first, "layers-two-after-run");  // the same scene as there
  expect_golden(frames.at(240), "layers-fade-middle");
  expect_golden(frames.at(770), "layers-mask-wipe-middle");
  EXPECT_EQ(last.pixels, first.pixels);
  // The fade: e = 100 of 200 ms, alpha trunc((1 - 0.5) 255) = 127.
  expect_blend_of(frames.at(240), first, grey, [](int32_t) -> uint32_t { return 127; });
  // The wipe: threshold a = 127; the mask's grey m (its column's, a left-to-right ramp) gives
  // alpha 255 below a, (a + 31 - m) 8 up to a + 31, then 0.
  static Frame mask;
  ASSERT_TRUE(load_png(kPictures + "/Mask00.png", &mask));
  expect_blend_of(frames.at(770), grey, last, [](int32_t x) -> uint32_t {
    const uint32_t m = mask.at(x, 0) & 0xFF, a = 127;
    return m < a ? 255 : m < a + 31 ? (a + 31 - m) * 8 : 0;
  });
}

// graphic.dat places, scales, tints and blends the pictures it names (each record loads the
// picture of its own name): four 32 x 32 pictures on mid grey.
TEST(LayersEndToEnd, GraphicDatOffsetScaleColourAndRenderMode) {
  const auto frames = run_scene(
      "  call sp_set(file\"BG03\", 0, 10, 0)\n"
      "  call sp_set_ex(file\"GOFS\", 1, 100, 100, 0)\n"
      "  call sp_set_ex(file\"GSCL\", 2, 400, 100, 0)\n"
      "  call sp_set_ex(file\"GCOL\", 3, 100, 300, 0)\n"
      "  call sp_set_ex(file\"GADD\", 4, 400, 300, 0)\n"
      "  call run(0, 0, 0)\n"
      "  call wait(100, 0)\n"
      "  end\n",
      {20},
      "GOFS load=GOFS x=40 y=20\n"
      "GSCL load=GSCL scale=200\n"
      "GCOL load=GCOL color=0x80FF8040\n"
      "GADD load=GADD mode=1\n");
  const Frame& f = frames.at(20);
  expect_golden(f, "layers-graphic-dat");
  // Grey #808080 over black: 126. White over it (m = 254): (126 2 + 254 254) >> 8 = 253.
  const uint32_t grey = 0xFF7E7E7Eu, white = 0xFFFDFDFDu;
  struct Pixel {
    const char* what;
    int32_t x, y;
    uint32_t colour;
  };
  const Pixel pixels[] = {
      {"offset: 100 + 40, 100 + 20", 140, 120, white},
      {"offset: its last pixel", 171, 151, white},
      {"offset: not at its own place", 100, 100, grey},
      {"offset: past its end", 172, 152, grey},
      // Scale 2 about the centre 416, 116: 384..447 x 84..147, red/green over blue/white.
      {"scale: top left", 384, 84, 0xFFFD0000u},
      {"scale: red to 415", 415, 115, 0xFFFD0000u},
      {"scale: white from 416", 416, 116, white},
      {"scale: green top right", 447, 84, 0xFF00FD00u},
      {"scale: blue bottom left", 384, 147, 0xFF0000FDu},
      {"scale: outside", 383, 83, grey},
      {"scale: past its end", 448, 148, grey},
      // Colour 0x80FF8040 on white: m = (128 255) >> 8 = 127 of (254, 127, 63):
      // (126 129 + 254 127) >> 8 = 189, then 126 and 94.
      {"colour", 110, 310, 0xFFBD7E5Eu},
      // Mode 1 draws in render mode 2, adding: 126 + ((64 255 / 256) 255 >> 8) = 126 + 62.
      {"render mode: add", 410, 310, 0xFFBCBCBCu},
  };
  for (const Pixel& p : pixels) {
    EXPECT_EQ(f.at(p.x, p.y), p.colour) << p.what << std::hex << " got " << f.at(p.x, p.y);
  }
}

// The GL renderer plays the same scenes: its frames, read from its game target, are the
// goldens within 2 per channel. Asked for without a GL window (the dummy driver), the game
// says so and draws the goldens in software.
// Pixels of two frames of one size whose colours differ by more than 2 in a channel.
size_t differing_by_more_than_two(const Frame& a, const Frame& b) {
  size_t differing = 0;
  for (size_t i = 0; i < a.pixels.size(); ++i) {
    for (int shift = 0; shift < 24; shift += 8) {
      const int d = static_cast<int>((a.pixels[i] >> shift) & 0xFF) -
                    static_cast<int>((b.pixels[i] >> shift) & 0xFF);
      if (d > 2 || d < -2) {
        ++differing;
        break;
      }
    }
  }
  return differing;
}

TEST(LayersEndToEnd, GlDrawsTheGoldenScenesWithinTwo) {
  const std::string script = kFadeAndWipeScene;
  const std::vector<std::pair<uint32_t, const char*>> goldens = {
      {130, "layers-two-after-run"}, {240, "layers-fade-middle"}, {770, "layers-mask-wipe-middle"}};
  std::vector<uint32_t> times;
  for (const auto& [t, name] : goldens) times.push_back(t);
  std::string output;
  const auto frames = run_scene(script, times, {}, Drawn::kGl, &output);
  if (output.find("drawing in software") != std::string::npos) {
    GTEST_SKIP() << "no GL 3.3 core context here: " << output;
  }
  for (const auto& [t, name] : goldens) {
    SCOPED_TRACE(name);
    Frame golden;
    ASSERT_TRUE(load_png(kGoldens + "/" + name + ".png", &golden));
    const Frame& f = frames.at(t);
    ASSERT_EQ(f.pixels.size(), golden.pixels.size());
    EXPECT_EQ(differing_by_more_than_two(f, golden), 0u);
  }

  // Offsets, scale, colour and render mode from graphic.dat.
  const auto placed = run_scene(
      "  call sp_set(file\"BG03\", 0, 10, 0)\n"
      "  call sp_set_ex(file\"GOFS\", 1, 100, 100, 0)\n"
      "  call sp_set_ex(file\"GSCL\", 2, 400, 100, 0)\n"
      "  call sp_set_ex(file\"GCOL\", 3, 100, 300, 0)\n"
      "  call sp_set_ex(file\"GADD\", 4, 400, 300, 0)\n"
      "  call run(0, 0, 0)\n"
      "  call wait(100, 0)\n"
      "  end\n",
      {20},
      "GOFS load=GOFS x=40 y=20\n"
      "GSCL load=GSCL scale=200\n"
      "GCOL load=GCOL color=0x80FF8040\n"
      "GADD load=GADD mode=1\n",
      Drawn::kGl);
  Frame golden;
  ASSERT_TRUE(load_png(kGoldens + "/layers-graphic-dat.png", &golden));
  ASSERT_EQ(placed.at(20).pixels.size(), golden.pixels.size());
  // The GL renderer samples the picture scaled by 2 linearly (the default display flags ask
  // for the linear sprite filter): on the two pixel rows and columns either side of the seams
  // between its quarters (x 415-416, y 115-116 of 384..447 x 84..147) the two colours blend.
  // Everywhere else the frame is the golden.
  Frame seams_cut = placed.at(20);
  size_t blended = 0;
  for (int32_t y = 84; y < 148; ++y) {
    for (int32_t x = 384; x < 448; ++x) {
      const size_t i = static_cast<size_t>(y) * golden.width + x;
      Frame one{1, 1, {seams_cut.pixels[i]}}, other{1, 1, {golden.pixels[i]}};
      if (differing_by_more_than_two(one, other) == 0) continue;
      EXPECT_TRUE(x == 415 || x == 416 || y == 115 || y == 116) << x << "," << y;
      seams_cut.pixels[i] = golden.pixels[i];
      ++blended;
    }
  }
  EXPECT_GT(blended, 0u);
  EXPECT_EQ(differing_by_more_than_two(seams_cut, golden), 0u);

  const auto fallback = run_scene(script, times, {}, Drawn::kGlAskedWithoutGl, &output);
  EXPECT_NE(output.find("drawing in software"), std::string::npos) << output;
  expect_golden(fallback.at(240), "layers-fade-middle");
}

// Pixels changed by an image operation and read back by the script: a box filled into a
// colour picture, its colour read with sp_get_pixel and filled once more elsewhere, the
// picture moved by sp_set_pos_ex; the frame is worked out from the renderer's blend.
TEST(LayersEndToEnd, BoxFillAndPixelReadChangeThePictureShown) {
  const auto frames = run_scene(
      "  call sp_create(0, file\"#FF204060\", 0, 0, 64, 64)\n"
      "  mov r9, 0xFFFF\n"
      "  shl r9, 16\n"
      "  call sp_boxfill(0, 8, 8, 16, 16, r9, 0)\n"
      "  call sp_get_pixel(0, 10, 10) -> r1\n"
      "  call sp_boxfill(0, 40, 40, 8, 8, r1, -1)\n"
      "  call sp_set_pos_ex(0, 100, 50, 0)\n"
      "  call run(0, 0, 0)\n"
      "  call wait(100, 0)\n"
      "  end\n",
      {20});
  const Frame& f = frames.at(20);
  const uint32_t red = blend(0xFF000000u, 0xFFFF0000u, 255);
  const uint32_t blue = blend(0xFF000000u, 0xFF204060u, 255);
  EXPECT_EQ(f.at(100 + 8, 50 + 8), red);
  EXPECT_EQ(f.at(100 + 23, 50 + 23), red);
  EXPECT_EQ(f.at(100 + 24, 50 + 24), blue);
  EXPECT_EQ(f.at(100 + 44, 50 + 44), red) << "the colour read back was the red";
  EXPECT_EQ(f.at(100 + 63, 50 + 63), blue);
  EXPECT_EQ(f.at(99, 49), 0xFF000000u);
}

}  // namespace
