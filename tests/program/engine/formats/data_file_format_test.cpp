// Script data files: the text format.
#include "engine/formats/data_file_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace enginetest {
namespace {

using engine::data_file_parse;

// Cells as the script sees them; a string cell shows as its text in quotes. (A negative number
// has bit 31 too; its offset lies far past these small pools.)
std::vector<std::string> cells_of(const std::string& text) {
  const engine::DataFileContents c = data_file_parse(text);
  std::vector<std::string> out;
  for (uint32_t v : c.cells) {
    if ((v & 0x80000000u) && (v & 0x7FFFFFFFu) < c.pool.size()) {
      const uint32_t at = v & 0x7FFFFFFFu;
      const uint32_t len =
          static_cast<uint8_t>(c.pool[at]) | (static_cast<uint8_t>(c.pool[at + 1]) << 8);
      out.push_back("\"" + c.pool.substr(at + 2, len) + "\"");
    } else {
      out.push_back(std::to_string(static_cast<int32_t>(v)));
    }
  }
  return out;
}

TEST(DataFileFormat, Cells) {
  using V = std::vector<std::string>;
  struct Case {
    const char* text;
    V cells;
  } cases[] = {
      {"1, 2, 3\r\n4, 5, 6\r\n", {"1", "2", "3", "4", "5", "6"}},
      {"1, 2, 3,\r\n4, 5, 6,\r\n", {"1", "2", "3", "0", "4", "5", "6", "0"}},
      {"1, 2 // note\r\n3\r\n", {"1", "23"}},  // the comment takes its line end
      {"\r\n\r\n  7\n\n", {"7"}},              // empty lines vanish
      {"\"a b\"", {"\"a b\""}},
      {"\"a, b\"", {"\"a\"", "0"}},   // a comma splits even inside quotes
      {"\"x\"y, 1", {"\"x\"", "1"}},  // bytes after the closing quote are ignored
      {"-12,+7,0x10,12abc,abc,", {"-12", "7", "0", "12", "0"}},
      {"\"open", {"\"open\""}},
      {"", {}},
      {"5\0"
       "6",
       {"5"}},  // a zero byte ends the text
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(cells_of(c.text), c.cells);
  }
  // A quoted text keeps at most 511 bytes.
  const std::string long_text = "\"" + std::string(600, 'q') + "\"";
  EXPECT_EQ(cells_of(long_text)[0], "\"" + std::string(511, 'q') + "\"");
}

}  // namespace
}  // namespace enginetest
