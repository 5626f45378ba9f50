// The real Velmora keeping lines: text_h shows a line outside the backlog, set_history records
// one that is not shown (the backlog counts 1); the script reads it back and keeps it and the
// line on screen as favourites, and the favourites file holds both.
#include <gtest/gtest.h>

#include "support/game_folder.h"

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

namespace {

TEST(Backlog, LinesReadBackFromTheBacklogBecomeFavourites) {
  GameFolderOptions o;
  o.script =
      "  call text_init(24, 40, 500, 800, 120, 40, 460, 0)\n"
      "  call favsetmax(10)\n"
      "  call fav_init(text\"fav.csv\")\n"
      "  call text_h(0x0FFFFFFF, text\"Rin\", text\"first<br>line\", -2)\n"
      "  call set_history(0x0FFFFFFF, text\"Aki\", text\"kept quietly\")\n"
      "  call string(0) -> r1\n"
      "  call string(0) -> r2\n"
      "  call string(0) -> r3\n"
      "  call history_get_count() -> r4\n"
      "  call history_get_text(0, r1, r2, r3)\n"
      "  call favadd(r4, r1, r2, r3)\n"
      "  call favadd(-1, 0, 0, 0)\n"
      "  call favsave()\n"
      "  call wait(100, 0)\n"
      "  end\n";
  GameFolder game(o);
  const auto r = game.run({}, {}, 30);
  EXPECT_EQ(r.exit_code, 0) << r.output;
  // A relative path is taken from the program's folder, where the game runs.
  EXPECT_EQ(testsupport::read_file(game / "fav.csv"),
            "000001,0,\"Aki\",\"\",\"kept quietly\"\r\n"
            "000002,0,\"Rin\",\"\",\"firstline\"\r\n")
      << r.output;
}

}  // namespace
