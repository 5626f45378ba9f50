// The real Velmora building its message window from a script: which window commands work,
// which are refused (each refusal one line naming why, and the interpreter's error line with
// the command's id), and the base image the script keeps in system.dat.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/game_folder.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

namespace {

// A 24-bit bottom-up BMP of w x h pixels of one colour, laid out by hand.
std::string bmp(int32_t w, int32_t h) {
  const int32_t row = (w * 3 + 3) & ~3;
  const int32_t size = 54 + row * h;
  std::string b(static_cast<size_t>(size), '\0');
  auto put = [&](size_t at, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  b[0] = 'B';
  b[1] = 'M';
  put(2, uint32_t(size), 4);
  put(10, 54, 4);
  put(14, 40, 4);
  put(18, uint32_t(w), 4);
  put(22, uint32_t(h), 4);
  put(26, 1, 2);
  put(28, 24, 2);
  put(34, uint32_t(row * h), 4);
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) put(54 + size_t(y * row + x * 3), 0x3060C0, 3);
  }
  return b;
}

size_t count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(TextWindow, ScriptBuildsAndReleasesTheWindow) {
  GameFolderOptions o;
  o.script =
      "  call text_set_icon(0, file\"ICON\", 0, 0)\n"    // before text_init: refused
      "  call text_init(-1, 0, 0, 300, 100, 0, 0, 0)\n"  // negative size: refused
      "  call text_init(24, 10, 500, 302, 100, 10, 460, 0)\n"
      "  call text_set_icon(3, file\"ICON\", 0, 0)\n"  // no icon 3
      "  call text_set_icon(0, file\"ICON\", 600, 650)\n"
      "  call text_set_icon(1, file\"MISSING\", 0, 0)\n"  // does not load
      "  call text_set_rect(4, 1, 1, 1, 1)\n"             // no image 4
      "  call text_set_rect(2, 8, 4, 8, 4)\n"             // slot 2 is empty
      "  call text_set_rect(1, 8, 4, 4, 4)\n"
      "  call text_set_base(file\"ICON\", 0, 0, 1)\n"  // kept in system.dat
      "  call text_set_priority(4000)\n"
      "  call wait(50, 0)\n"
      "  call text_uninit\n"
      "  call text_set_rect(1, 8, 4, 4, 4)\n"  // after text_uninit: refused
      "  end\n";
  o.packed = false;
  GameFolder game(o);
  testsupport::write_file(game / "data/ICON.bmp", bmp(8, 4));
  const auto r = game.run({}, {}, 30);
  ASSERT_EQ(r.exit_code, 0) << r.output;
  const std::string& out = r.output;
  EXPECT_EQ(count(out, "text initialize error : text_set_icon"), 1u) << out;
  EXPECT_EQ(count(out, "text initialize error : text_set_rect"), 1u) << out;
  EXPECT_EQ(count(out, "text_init : invalid size -1, 300, 100, 0"), 1u) << out;
  EXPECT_EQ(count(out, "text_set_icon : invalid icon 3"), 1u) << out;
  EXPECT_EQ(count(out, "sprite load error [MISSING]"), 1u) << out;
  EXPECT_EQ(count(out, "text_set_rect : invalid param"), 1u) << out;
  // The failed calls, by id; the others succeed.
  EXPECT_EQ(count(out, "code = [0x00020000]"), 1u) << out;
  EXPECT_EQ(count(out, "code = [0x00020001]"), 3u) << out;
  EXPECT_EQ(count(out, "code = [0x00020007]"), 3u) << out;
  EXPECT_EQ(count(out, "code = [0x00020006]"), 0u) << out;
  EXPECT_EQ(count(out, "code = [0x00020016]"), 0u) << out;
  EXPECT_EQ(count(out, "code = [0x00020033]"), 0u) << out;

  const std::string sys = testsupport::read_file(game.save() + "/system.dat");
  ASSERT_GT(sys.size(), 46u);
  const int32_t base = int32_t(uint32_t(uint8_t(sys[42])) | uint32_t(uint8_t(sys[43])) << 8 |
                               uint32_t(uint8_t(sys[44])) << 16 | uint32_t(uint8_t(sys[45])) << 24);
  EXPECT_EQ(base, 0);  // File.dat index of ICON (the default is -1)
}

}  // namespace
