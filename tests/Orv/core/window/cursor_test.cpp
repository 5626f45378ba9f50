// The cursor's show count and auto-hide timer, and the checks of the cursor image reader.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Orv/core/window/cursor.h"

namespace {

TEST(Cursor, ShowCountFollowsTheSystemRule) {
  struct Case {
    int32_t count;
    bool keep_visible;
    int32_t after_show, after_hide;
  };
  const Case cases[] = {
      {-3, false, 0, -1}, {0, false, 0, -1},  {1, false, 1, -1},
      {4, false, 1, -1},  {-2, false, 0, -1}, {0, true, 0, 0},  // kept visible: hide does nothing
  };
  for (const Case& c : cases) {
    CursorState s;
    s.show_count = c.count;
    s.keep_visible = c.keep_visible;
    cursor_count_show(s);
    EXPECT_EQ(s.show_count, c.after_show) << c.count;
    cursor_count_hide(s);
    EXPECT_EQ(s.show_count, c.after_hide) << c.count;
    EXPECT_EQ(cursor_visible(s), c.after_hide >= 0);
  }
}

TEST(Cursor, AutoHideAfterStillTimeInTheClientOnly) {
  CursorState s;
  cursor_set_auto_hide(s, 3000, 1000);
  cursor_on_mouse_move(s, 2000, false);
  EXPECT_FALSE(cursor_on_tick(s, 4999, true));
  EXPECT_TRUE(cursor_visible(s));
  EXPECT_TRUE(cursor_on_tick(s, 5000, false));  // fired, but the cursor is outside
  EXPECT_TRUE(cursor_visible(s));
  EXPECT_TRUE(cursor_on_tick(s, 8000, true));
  EXPECT_FALSE(cursor_visible(s));
  cursor_on_mouse_move(s, 8100, false);  // a move shows it and restarts the time
  EXPECT_TRUE(cursor_visible(s));
  EXPECT_FALSE(cursor_on_tick(s, 11000, true));
  cursor_set_auto_hide(s, 0, 11000);  // off
  EXPECT_FALSE(cursor_on_tick(s, 99999, true));
  EXPECT_TRUE(cursor_visible(s));
  cursor_on_mouse_move(s, 100000, true);  // a full-screen video hides it on moves
  EXPECT_FALSE(cursor_visible(s));
}

// A TGA header followed by pixels; fields that a case changes are patched in.
std::vector<uint8_t> tga(uint16_t width, uint16_t height, uint8_t type = 2, uint8_t bpp = 32,
                         uint8_t id_length = 0) {
  std::vector<uint8_t> b(18, 0);
  b[0] = id_length;
  b[2] = type;
  b[12] = width & 0xFF;
  b[13] = width >> 8;
  b[14] = height & 0xFF;
  b[15] = height >> 8;
  b[16] = bpp;
  b.insert(b.end(), id_length, 'i');
  for (uint32_t i = 0; i < uint32_t(width) * height; ++i) {
    // Pixel i: blue i, green 0x20, red 0x30, alpha 0xFF.
    b.insert(b.end(), {uint8_t(i), 0x20, 0x30, 0xFF});
  }
  return b;
}

TEST(Cursor, ImageReaderFlipsRowsAndSkipsTheId) {
  for (uint8_t id : {0, 5}) {
    std::vector<uint8_t> file = tga(2, 2, 2, 32, id);
    CursorImage image;
    std::string why;
    ASSERT_TRUE(cursor_tga_decode(file.data(), file.size(), &image, &why)) << why;
    EXPECT_EQ(image.width, 2);
    EXPECT_EQ(image.height, 2);
    // Stored bottom row first: file pixels 2 and 3 form the top row.
    EXPECT_EQ(image.pixels[0], 0xFF302002u);
    EXPECT_EQ(image.pixels[3], 0xFF302001u);
  }
}

TEST(Cursor, ImageReaderRefusesWhatItCannotShow) {
  std::vector<uint8_t> truncated = tga(4, 4);
  truncated.resize(truncated.size() - 1);
  std::vector<uint8_t> colour_mapped = tga(2, 2);
  colour_mapped[1] = 1;
  std::vector<uint8_t> huge_claim = tga(1, 1);
  huge_claim[12] = huge_claim[13] = huge_claim[14] = huge_claim[15] = 0xFF;
  std::vector<uint8_t> long_id = tga(1, 1, 2, 32, 200);
  long_id.resize(18 + 10);  // the id runs past the end
  const std::vector<uint8_t> cases[] = {
      {},
      std::vector<uint8_t>(17, 0),
      tga(2, 2, 10),     // run-length compressed
      tga(2, 2, 3),      // grey
      tga(2, 2, 2, 24),  // no alpha
      tga(0, 2),         // empty
      truncated,
      colour_mapped,
      huge_claim,
      long_id,
  };
  int n = 0;
  for (const std::vector<uint8_t>& file : cases) {
    CursorImage image;
    std::string why;
    EXPECT_FALSE(cursor_tga_decode(file.data(), file.size(), &image, &why)) << n;
    EXPECT_FALSE(why.empty()) << n;
    EXPECT_TRUE(image.pixels.empty()) << n;
    ++n;
  }
}

}  // namespace
