// Whole data files read through the library's file lookup: loose, inside an archive, missing.
#include "engine/orv_calls.h"
#include "support/game_folder_fixture.h"
#include "pacpack/pac_writer.h"

namespace enginetest {
namespace {

class ReadWholeTest : public GameFolderTest {
 protected:
  // The bytes read with extra zero bytes after them, or "<status N>" when not read whole.
  std::string read(const char* name, uint32_t extra) {
    uint8_t* data = nullptr;
    uint32_t size = 0;
    const int status = engine::orv_file_read_whole(name, &data, &size, extra);
    std::string out = status == 0 ? std::string(reinterpret_cast<char*>(data), size + extra)
                                  : "<status " + std::to_string(status) + ">";
    if (data) orv.OrvMemoryFree(data);
    return out;
  }
};

TEST_F(ReadWholeTest, LooseArchiveAndMissingFiles) {
  put("loose.bin", "abc");
  std::string pac, error;
  ASSERT_TRUE(pacpack::build_archive({{"FIRST.BIN", "0123456789"}, {"MEMBER.BIN", "member bytes"}},
                                     &pac, &error))
      << error;
  testsupport::write_file(game_ + ".pac", pac);
  platform::file_cache_clear();
  EXPECT_EQ(read("LOOSE.BIN", 2), std::string("abc\0\0", 5));
  EXPECT_EQ(read("member.bin", 1), std::string("member bytes\0", 13));  // at its own offset
  EXPECT_EQ(read("NONE.BIN", 0), "<status 1>");
}

}  // namespace
}  // namespace enginetest
