#include "platform/file.h"
#include "platform/sjis.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>

#include <filesystem>
#include <string>

#include "support/temp_dir.h"

namespace {

using namespace platform;
using testsupport::read_file;
using testsupport::TempDir;
using testsupport::write_file;

// The Shift-JIS form of a UTF-8 path (tests write fixtures in UTF-8, the system asks in SJIS).
std::string sjis(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(utf8_to_sjis(utf8, out)) << utf8;
  return out;
}

std::string read_all(FileHandle f) {
  std::string data(4096, '\0');
  uint32_t done = 0;
  EXPECT_TRUE(file_read(f, data.data(), static_cast<uint32_t>(data.size()), &done));
  data.resize(done);
  return data;
}

// Opens for reading and returns the content, or "<error N>".
std::string open_and_read(const std::string& sjis_path) {
  FileHandle f = file_open(sjis_path.c_str(), kGenericRead, kFileShareRead, kOpenExisting, 0);
  if (f == kInvalidFile) return "<error " + std::to_string(file_last_error()) + ">";
  std::string data = read_all(f);
  EXPECT_TRUE(file_close(f));
  return data;
}

TEST(File, NamesMatchWithoutAsciiCaseAndWithBackslashes) {
  TempDir dir;
  write_file(dir / "Data/Mask/Mask01.png", "mask");
  write_file(dir / "Data/exact.TXT", "upper ext");
  write_file(dir / "Data/exact.txt", "lower ext");
  write_file(dir / "Data/b.bin", "lower");
  write_file(dir / "Data/B.bin", "upper");
  const std::string base = sjis(dir.path());
  const struct {
    const char* request;
    const char* expect;
  } kCases[] = {
      {"\\DATA\\MASK\\MASK01.PNG", "mask"},
      {"/data/mask/mask01.png", "mask"},
      {"\\Data\\\\Mask\\Mask01.png", "mask"},  // doubled separators
      {"\\data\\exact.txt", "lower ext"},      // the exact bytes win
      {"\\data\\exact.TXT", "upper ext"},
      {"\\DATA\\EXACT.Txt", "upper ext"},  // no exact twin: smallest name ("E" < "e")
      {"\\data\\B.BIN", "upper"},
      {"\\DATA\\MASK\\MASK02.PNG", "<error 2>"},
      {"\\NODATA\\MASK01.PNG", "<error 3>"},  // a missing folder is told apart
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(open_and_read(base + c.request), c.expect) << c.request;
  }
  EXPECT_EQ(native_path((base + "\\DATA\\MASK\\MASK01.PNG").c_str()),
            dir.path() + "/Data/Mask/Mask01.png");
  // Components that do not exist keep the bytes the caller gave (so new files get that name).
  EXPECT_EQ(native_path((base + "\\DATA\\New\\X.TXT").c_str()), dir.path() + "/Data/New/X.TXT");
}

// The characters that break path handling: trail bytes that look like separators or '|', the
// vendor extension rows and one-byte katakana.
// The fuzz seam keeps every name below the current folder: absolute names and ".." are
// refused, relative names work as before.
TEST(File, ConfinedNamesStayBelowTheCurrentFolder) {
  TempDir dir;
  std::filesystem::create_directories(dir / "in");
  testsupport::write_file(dir / "in/a.txt", "a");
  testsupport::write_file(dir / "top.txt", "t");
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir / "in");
  platform::file_names_confine(true);
  const bool relative = platform::file_exists("A.TXT");
  const bool up = platform::file_exists("..\\top.txt");
  const bool absolute = platform::file_exists((dir / "top.txt").c_str());
  platform::file_names_confine(false);
  const bool absolute_after = platform::file_exists((dir / "top.txt").c_str());
  std::filesystem::current_path(before);
  EXPECT_TRUE(relative);
  EXPECT_FALSE(up);
  EXPECT_FALSE(absolute);
  EXPECT_TRUE(absolute_after);
}

TEST(File, ShiftJisNamesSurviveTheBoundary) {
  TempDir dir;
  const struct {
    const char* what;
    std::string sjis_name;
    std::string utf8_name;
  } kNames[] = {
      {"trail byte 0x5C", "\x95\x5C.txt", "\xE8\xA1\xA8.txt"},                  // 表
      {"trail byte 0x5C folder", "\x83\x5C\\a.txt", "\xE3\x82\xBD/a.txt"},      // ソ\a.txt
      {"trail byte 0x7C", "\x83\x7C.dat", "\xE3\x83\x9D.dat"},                  // ポ
      {"NEC row 13", "\x87\x40.png", "\xE2\x91\xA0.png"},                       // ①
      {"IBM extension", "\xFA\x40.png", "\xE2\x85\xB0.png"},                    // ⅰ
      {"IBM extension, trail byte 0x5C", "\xFA\x5C.png", "\xE7\xBA\x8A.png"},   // 纊
      {"half-width katakana", "\xB1\xB2.ogg", "\xEF\xBD\xB1\xEF\xBD\xB2.ogg"},  // ｱｲ
  };
  const std::string base = sjis(dir.path());
  for (const auto& c : kNames) {
    std::filesystem::create_directories(std::filesystem::path(dir / c.utf8_name).parent_path());
    std::string path = base + "\\" + c.sjis_name;
    FileHandle f = file_open(path.c_str(), kGenericWrite, 0, kCreateNew, 0);
    ASSERT_NE(f, kInvalidFile) << c.what;
    uint32_t done = 0;
    EXPECT_TRUE(file_write(f, c.what, 3, &done));
    file_close(f);
    EXPECT_EQ(read_file(dir / c.utf8_name), std::string(c.what, 3)) << c.what;
    EXPECT_TRUE(file_exists(path.c_str())) << c.what;
  }
  // The NEC-selected twin of an IBM extension character names the same file.
  EXPECT_TRUE(file_exists((base + "\\\xED\x40.png").c_str()));
  // Listings come back in Shift-JIS.
  bool found = false;
  for (const DirEntry& e : list_folder(base.c_str())) found |= e.name == "\x95\x5C.txt";
  EXPECT_TRUE(found);
}

TEST(File, InvalidShiftJisIsAClearErrorNotACrash) {
  TempDir dir;
  const std::string base = sjis(dir.path());
  const std::string kBad[] = {
      base + "\\ab\x82",        // a lead byte cut off at the end
      base + "\\\x85\x40.txt",  // an unassigned code
      base + "\\\x80.txt",      // a byte that is no character
      "",
  };
  for (const std::string& name : kBad) {
    EXPECT_EQ(file_open(name.c_str(), kGenericWrite, 0, kCreateAlways, 0), kInvalidFile);
    EXPECT_EQ(file_last_error(), kErrorInvalidName);
    EXPECT_EQ(native_path(name.c_str()), "");
  }
  EXPECT_EQ(file_open(nullptr, kGenericRead, 0, kOpenExisting, 0), kInvalidFile);
  EXPECT_TRUE(list_folder(kBad[0].c_str()).empty());
}

TEST(File, OnlyRegularFilesOpen) {
  TempDir dir;
  std::filesystem::create_directories(dir / "Folder");
  ASSERT_EQ(mkfifo((dir / "pipe").c_str(), 0600), 0);
  const std::string base = sjis(dir.path());
  for (const char* name : {"\\FOLDER", "\\folder\\", "\\pipe"}) {
    EXPECT_EQ(file_open((base + name).c_str(), kGenericRead, 0, kOpenExisting, 0), kInvalidFile)
        << name;
    EXPECT_EQ(file_last_error(), kErrorAccessDenied) << name;
    EXPECT_FALSE(file_exists((base + name).c_str())) << name;
  }
  EXPECT_TRUE(folder_exists((base + "\\FOLDER").c_str()));
  EXPECT_FALSE(delete_file((base + "\\FOLDER").c_str()));
  EXPECT_TRUE(folder_exists((base + "\\FOLDER").c_str()));
}

TEST(File, Dispositions) {
  TempDir dir;
  const std::string base = sjis(dir.path());
  const std::string name = base + "\\f.txt";
  const std::string actual = dir / "f.txt";
  const struct {
    const char* what;
    bool present;  // f.txt holds "old" before the open
    uint32_t disposition;
    bool opens;
    uint32_t error;
    const char* content_after;  // after writing "new" when it opened; null: no file
  } kCases[] = {
      {"create new, missing", false, kCreateNew, true, kErrorSuccess, "new"},
      {"create new, present", true, kCreateNew, false, kErrorFileExists, "old!"},
      {"create always, present", true, kCreateAlways, true, kErrorAlreadyExists, "new"},
      {"open existing, missing", false, kOpenExisting, false, kErrorFileNotFound, nullptr},
      {"open always, present", true, kOpenAlways, true, kErrorAlreadyExists, "new!"},
      {"open always, missing", false, kOpenAlways, true, kErrorSuccess, "new"},
      {"truncate existing", true, kTruncateExisting, true, kErrorSuccess, "new"},
      {"truncate existing, missing", false, kTruncateExisting, false, kErrorFileNotFound, nullptr},
  };
  for (const auto& c : kCases) {
    std::filesystem::remove(actual);
    if (c.present) write_file(actual, "old!");
    FileHandle f = file_open(name.c_str(), kGenericWrite, 0, c.disposition, kFileAttributeNormal);
    EXPECT_EQ(f != kInvalidFile, c.opens) << c.what;
    EXPECT_EQ(file_last_error(), c.error) << c.what;
    if (f != kInvalidFile) {
      EXPECT_TRUE(file_write(f, "new", 3, nullptr));
      file_close(f);
    }
    if (c.content_after) {
      EXPECT_EQ(read_file(actual), c.content_after) << c.what;
    } else {
      EXPECT_FALSE(std::filesystem::exists(actual)) << c.what;
    }
  }
}

TEST(File, ReadSeekAndSize) {
  TempDir dir;
  write_file(dir / "d.bin", "0123456789");
  FileHandle f =
      file_open((sjis(dir.path()) + "\\D.BIN").c_str(), kGenericRead, 0, kOpenExisting, 0);
  ASSERT_NE(f, kInvalidFile);
  EXPECT_EQ(file_size(f), 10);
  EXPECT_EQ(file_seek(f, -3, kFileEnd), 7);
  char buf[8] = {};
  uint32_t done = 99;
  EXPECT_TRUE(file_read(f, buf, 8, &done));  // a short read at the end is no error
  EXPECT_EQ(std::string(buf, done), "789");
  EXPECT_TRUE(file_read(f, buf, 8, &done));
  EXPECT_EQ(done, 0u);
  EXPECT_EQ(file_seek(f, -20, kFileCurrent), -1);
  EXPECT_EQ(file_last_error(), kErrorNegativeSeek);
  EXPECT_EQ(file_seek(f, 0, kFileCurrent), 10);  // a failed seek does not move
  EXPECT_EQ(file_seek(f, 0, 7), -1);
  EXPECT_TRUE(file_read_at(f, buf, 2, 4));
  EXPECT_EQ(std::string(buf, 2), "45");
  EXPECT_FALSE(file_read_at(f, buf, 2, 9));  // only one byte there
  EXPECT_TRUE(file_close(f));
  EXPECT_FALSE(file_close(f));
  EXPECT_FALSE(file_read(kInvalidFile, buf, 1, &done));
  EXPECT_EQ(file_last_error(), kErrorInvalidHandle);
}

// The listing cache must notice files added after a folder was listed, both in a folder that
// just changed and in one that had been quiet for a long time.
TEST(File, ListingCacheFollowsTheFolder) {
  TempDir dir;
  const std::string base = sjis(dir.path());
  write_file(dir / "Old/a.txt", "a");
  struct timeval past[2] = {{1000000000, 0}, {1000000000, 0}};
  ASSERT_EQ(utimes((dir / "Old").c_str(), past), 0);
  EXPECT_EQ(open_and_read(base + "\\OLD\\A.TXT"), "a");  // cached, and settled
  EXPECT_EQ(open_and_read(base + "\\OLD\\B.TXT"), "<error 2>");
  write_file(dir / "Old/b.txt", "b");  // changes the folder's time
  EXPECT_EQ(open_and_read(base + "\\OLD\\B.TXT"), "b");
  std::filesystem::rename(dir / "Old/b.txt", dir / "Old/c.txt");
  EXPECT_EQ(open_and_read(base + "\\OLD\\B.TXT"), "<error 2>");
  EXPECT_EQ(open_and_read(base + "\\OLD\\C.TXT"), "b");
  // A folder found missing is remembered only until its parent changes.
  ASSERT_EQ(utimes(dir.path().c_str(), past), 0);
  EXPECT_EQ(open_and_read(base + "\\GONE\\A.TXT"), "<error 3>");
  EXPECT_EQ(open_and_read(base + "\\GONE\\A.TXT"), "<error 3>");
  write_file(dir / "Gone/a.txt", "g");
  EXPECT_EQ(open_and_read(base + "\\GONE\\A.TXT"), "g");
  // Changes made within the same clock tick as the last listing.
  write_file(dir / "New/x.txt", "x");
  EXPECT_EQ(open_and_read(base + "\\NEW\\X.TXT"), "x");
  write_file(dir / "New/y.txt", "y");
  EXPECT_EQ(open_and_read(base + "\\NEW\\Y.TXT"), "y");
}

TEST(File, MovesNeverReplace) {
  TempDir dir;
  const std::string base = sjis(dir.path());
  write_file(dir / "a.txt", "a");
  write_file(dir / "b.txt", "b");
  EXPECT_FALSE(move_file_noreplace((base + "\\A.TXT").c_str(), (base + "\\B.TXT").c_str()));
  EXPECT_EQ(file_last_error(), kErrorAlreadyExists);
  EXPECT_EQ(read_file(dir / "a.txt"), "a");
  EXPECT_EQ(read_file(dir / "b.txt"), "b");
  EXPECT_TRUE(move_file_noreplace((base + "\\A.TXT").c_str(), (base + "\\C.txt").c_str()));
  EXPECT_EQ(read_file(dir / "C.txt"), "a");
  // A change of case only renames the file, as Windows does.
  EXPECT_TRUE(move_file_noreplace((base + "\\c.txt").c_str(), (base + "\\c.TXT").c_str()));
  EXPECT_EQ(read_file(dir / "c.TXT"), "a");
  EXPECT_FALSE(std::filesystem::exists(dir / "C.txt"));

  write_file(dir / "save.tmp", "new");
  EXPECT_TRUE(replace_file((base + "\\save.tmp").c_str(), (base + "\\B.TXT").c_str()));
  EXPECT_EQ(read_file(dir / "b.txt"), "new");  // the existing file, not a case twin
  EXPECT_FALSE(std::filesystem::exists(dir / "save.tmp"));
}

TEST(File, FoldersAndWildcardSearch) {
  TempDir dir;
  const std::string base = sjis(dir.path());
  EXPECT_TRUE(make_folder((base + "\\Save").c_str()));
  EXPECT_FALSE(make_folder((base + "\\SAVE").c_str()));
  EXPECT_EQ(file_last_error(), kErrorAlreadyExists);
  EXPECT_FALSE(make_folder((base + "\\no\\such").c_str()));
  EXPECT_EQ(file_last_error(), kErrorPathNotFound);
  write_file(dir / "Save/one.PNG", "1");
  write_file(dir / "Save/two.png", "22");
  write_file(dir / "Save/readme", "");
  auto names = [](const std::vector<DirEntry>& v) {
    std::string s;
    for (const DirEntry& e : v) s += e.name + (e.is_folder ? "/ " : " ");
    return s;
  };
  EXPECT_EQ(names(find_files((base + "\\SAVE\\*.png").c_str())), "one.PNG two.png ");
  EXPECT_EQ(names(find_files((base + "\\SAVE\\*").c_str())), "./ ../ one.PNG readme two.png ");
  EXPECT_EQ(names(find_files((base + "\\SAVE\\readme.*").c_str())), "readme ");
  EXPECT_EQ(names(find_files((base + "\\SAVE\\TWO.PNG").c_str())), "two.png ");
  EXPECT_EQ(names(find_files((base + "\\*").c_str())), "./ ../ Save/ ");
  EXPECT_TRUE(find_files((base + "\\nothing\\*").c_str()).empty());
  EXPECT_EQ(list_folder((base + "\\SAVE").c_str()).at(2).size, 2u);
  EXPECT_FALSE(delete_folder((base + "\\SAVE").c_str()));  // not empty
  EXPECT_EQ(file_last_error(), kErrorDirNotEmpty);
}

TEST(File, WildcardMatch) {
  const struct {
    const char* pattern;
    const char* name;
    bool match;
  } kCases[] = {
      {"*", "anything", true},
      {"*.*", "noext", true},
      {"a?c", "ABC", true},
      {"a?c", "ac", false},
      {"*.png", "x.png.bak", false},
      {"*x*y", "axbxcy", true},
      {"?.txt", "\x95\x5C.txt", true},  // a two-byte character is one '?'
      {"\x95\x5C*", "\x95\x5C.txt", true},
      {"\x95?.txt", "\x95\x5C.txt", false},  // '?' never takes half a character
      {"\x83\x5C.txt", "\x83\x7C.txt", false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(wildcard_match(c.pattern, c.name), c.match) << c.pattern << " / " << c.name;
  }
}

}  // namespace
