// A three-item choice menu in the real Velmora, headless, picked with scripted input
// (VELMORA_INPUT_SCRIPT): a click on the second item, and Down, Down, Enter a frame apart. The
// item's label records the choice in a file; the program ends with exit code 0.
#include <gtest/gtest.h>

#include <vector>

#include "ge_writer/ge_writer.h"
#include "support/game_folder.h"

namespace {

using testsupport::GameFolder;
using testsupport::GameFolderOptions;

// Items 200 x 40 at (100, 100), (100, 200), (100, 300); the menu opens on the first frame.
const char kMenu[] =
    "  call select_init(file\"ITEM\", 0xC0C0C0, 0xFFFFFF, 0)\n"
    "  call select(0)\n"
    "  call select_item(text\"one\", @one, 100, 100, 3, 0)\n"
    "  call select_item(text\"two\", @two, 100, 200, 3, 0)\n"
    "  call select_item(text\"three\", @three, 100, 300, 3, 0)\n"
    "  call end_select\n"
    "one:\n  call text_file_save(text\"choice.txt\", text\"one\")\n  end\n"
    "two:\n  call text_file_save(text\"choice.txt\", text\"two\")\n  end\n"
    "three:\n  call text_file_save(text\"choice.txt\", text\"three\")\n  end\n";

TEST(Choice, ScriptedClickAndKeysPickTheSecondItem) {
  gewriter::GeOptions options;
  options.cell_width = 200;
  options.cell_height = 40;
  const std::string item =
      gewriter::ge_write(200, 120, std::vector<uint32_t>(200 * 120, 0xFF808080u), options);
  struct Case {
    const char* what;
    const char* input;
  } cases[] = {
      {"a click on the second item", "40:0@200,220;44:800000;46:0"},
      {"Down, Down, Enter", "40:0@1000,700;44:100;45:0;46:100;47:0;48:4;49:0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    GameFolderOptions o;
    o.script = kMenu;
    o.members = {{"ITEM.TGA", item}};
    GameFolder game(o);
    const auto r = game.run({}, {{"VELMORA_INPUT_SCRIPT", c.input}}, 60);
    EXPECT_EQ(r.exit_code, 0) << r.output;
    EXPECT_EQ(testsupport::read_file(game / "choice.txt"), "two") << r.output;
  }
}

}  // namespace
