#include "Orv/core/files/file_access.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "Orv/core/files/pac_format.h"
#include "orv/orv.h"
#include "pacpack/pac_writer.h"
#include "platform/file.h"
#include "platform/sjis.h"
#include "support/temp_dir.h"

namespace {

using testsupport::TempDir;
using testsupport::write_file;

std::string to_sjis(const std::string& utf8) {
  std::string out;
  EXPECT_TRUE(platform::utf8_to_sjis(utf8, out)) << utf8;
  return out;
}

// The system's form of a file-system path: Shift-JIS with '\'.
std::string system_path(const std::string& utf8) {
  std::string s = to_sjis(utf8);
  for (char& c : s) {
    if (c == '/') c = '\\';
  }
  return s;
}

// A game folder in a temporary directory: the base folder is <tmp>/game, its archive
// <tmp>/game.pac; search folders lie below the base folder, each with its archive beside it.
class FileAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = dir_ / "game";
    std::filesystem::create_directories(base_);
    ASSERT_TRUE(file_set_base_folder(system_path(base_).c_str()));
    ASSERT_EQ(OrvSystemPathInit(), 1);
  }
  void TearDown() override {
    OrvSystemPathUninit();
    file_set_base_folder("");
  }

  // The UTF-8 path of a folder: "" is the base folder, others lie inside it.
  std::string folder(const std::string& name) const {
    return name.empty() ? base_ : base_ + "/" + name;
  }
  void loose(const std::string& where, const std::string& utf8_name, const std::string& data) {
    write_file(folder(where) + "/" + utf8_name, data);
  }
  void archive(const std::string& where, const std::vector<pacpack::Member>& members) {
    std::string bytes, error;
    ASSERT_TRUE(pacpack::build_archive(members, &bytes, &error)) << error;
    write_file(folder(where) + ".pac", bytes);
  }
  void archive_bytes(const std::string& where, const std::string& bytes) {
    write_file(folder(where) + ".pac", bytes);
  }

  // Opens name through the search and returns the member's data, or "<none>".
  static std::string fetch(const std::string& name, FileRange* out_range = nullptr) {
    FileRange range{1, 2, 3};
    OrvFileHandle f = OrvFileCreate(name.c_str(), &range);
    if (out_range) *out_range = range;
    if (f == kOrvInvalidFile) {
      EXPECT_EQ(range.offset | range.end | range.size, 0u) << name;
      return "<none>";
    }
    EXPECT_EQ(range.end, range.offset + range.size) << name;
    EXPECT_EQ(platform::file_seek(f, 0, platform::kFileCurrent), range.offset) << name;
    std::string data(range.size, '\0');
    uint32_t done = 0;
    EXPECT_TRUE(platform::file_read(f, data.data(), range.size, &done));
    EXPECT_EQ(done, range.size) << name;
    platform::file_close(f);
    return data;
  }

  TempDir dir_;
  std::string base_;
};

// Where a file is placed for a case: loose in a folder, or in that folder's archive.
struct Placed {
  const char* folder;  // "" = the base folder
  bool packed;
  std::string name;  // loose: UTF-8 name on disk; packed: Shift-JIS name stored
  const char* data;
};

struct SearchCase {
  const char* what;
  std::vector<Placed> files;
  std::vector<const char*> search;  // registered in this order (the last is searched first)
  std::string request;              // Shift-JIS
  const char* expect;
};

TEST_F(FileAccess, SearchOrder) {
  const std::string kLong = "ABCDEFGHIJKLMNOPQRSTUVWXYZ012345";  // 32 bytes
  const SearchCase kCases[] = {
      {"the newest search folder wins",
       {{"a", false, "x.png", "a"}, {"b", false, "x.png", "b"}},
       {"a", "b"},
       "X.PNG",
       "b"},
      {"the folders of the request are ignored",
       {{"a", false, "Mask01.png", "mask"}},
       {"a"},
       "Mask\\mask01.png",
       "mask"},
      {"loose beats the archive of the same folder",
       {{"a", false, "x.png", "loose"}, {"a", true, "x.png", "packed"}},
       {"a"},
       "x.png",
       "loose"},
      {"an archive of a newer folder beats an older loose file",
       {{"a", false, "x.png", "old"}, {"b", true, "x.png", "new"}},
       {"a", "b"},
       "x.png",
       "new"},
      {"the base folder comes last",
       {{"", false, "x.png", "base"}, {"a", true, "x.png", "a"}},
       {"a"},
       "x.png",
       "a"},
      {"without search folders: the base folder's archive",
       {{"", true, "sys.ini", "ini"}},
       {},
       "System\\SYS.INI",
       "ini"},
      {"names are compared on 32 bytes",
       {{"a", true, kLong + "_one.bin", "long"}},
       {"a"},
       kLong + "_two.bin",
       "long"},
      {"a one-entry bucket: a mismatch ends the search",
       {{"a", true, "Q1.BIN", "q"}},
       {"a"},
       "Q2.BIN",
       "<none>"},
      {"a one-entry bucket: found",
       {{"a", true, "Q1.BIN", "q"}, {"a", true, "R1.BIN", "r"}},
       {"a"},
       "q1.bin",
       "q"},
      {"a Shift-JIS name with trail byte 0x5C, loose",
       {{"a", false, "\xE8\xA1\xA8.png", "hyou"}},  // 表.png
       {"a"},
       "\x83\x5C\\\x95\x5C.PNG",  // ソ\表.PNG: only the real backslash separates
       "hyou"},
      {"a Shift-JIS name with trail byte 0x5C, packed",
       {{"a", true, "\x95\x5C.png", "hyou"}},
       {"a"},
       "\x95\x5C.png",
       "hyou"},
      {"a loose file whose case on disk differs",
       {{"a", false, "Mask01.Png", "m"}},
       {"a"},
       "mask01.png",
       "m"},
      {"a folder of that name is not a file",
       {{"a", false, "x.png", "file"}, {"b", false, "x.png/inner", "folder"}},
       {"a", "b"},
       "x.png",
       "file"},
      {"not found anywhere", {{"a", false, "x.png", "x"}}, {"a"}, "y.png", "<none>"},
  };
  for (const SearchCase& c : kCases) {
    SCOPED_TRACE(c.what);
    TempDir fresh;
    base_ = fresh / "game";
    std::filesystem::create_directories(base_);
    ASSERT_TRUE(file_set_base_folder(system_path(base_).c_str()));
    ASSERT_EQ(OrvSystemPathInit(), 1);
    std::vector<std::pair<std::string, std::vector<pacpack::Member>>> packs;
    for (const Placed& p : c.files) {
      if (!p.packed) {
        loose(p.folder, p.name, p.data);
        continue;
      }
      auto it =
          std::find_if(packs.begin(), packs.end(), [&](auto& e) { return e.first == p.folder; });
      if (it == packs.end()) it = packs.insert(packs.end(), {p.folder, {}});
      it->second.push_back({p.name, p.data});
    }
    for (auto& [where, members] : packs) archive(where, members);
    for (const char* s : c.search) ASSERT_EQ(OrvSystemPathSet(s), 1);
    EXPECT_EQ(fetch(c.request), c.expect);
  }
}

TEST_F(FileAccess, RangesOfLooseFilesAndMembers) {
  loose("a", "loose.bin", "12345");
  archive("b", {{"one.bin", "first"}, {"two.bin", "second!"}});
  OrvSystemPathSet("a");
  OrvSystemPathSet("b");
  FileRange r{};
  EXPECT_EQ(fetch("LOOSE.BIN", &r), "12345");
  EXPECT_EQ(r.offset, 0u);
  EXPECT_EQ(r.size, 5u);
  EXPECT_EQ(fetch("two.bin", &r), "second!");
  EXPECT_EQ(r.offset, pac::kDirectoryStart + 2 * pac::kEntrySize + 5);  // after ONE.BIN's data
  EXPECT_EQ(r.size, 7u);
}

TEST_F(FileAccess, AbsoluteNamesStayInTheirFolder) {
  loose("a", "x.png", "a");
  loose("b", "x.png", "b");
  loose("b", "only_b.png", "b");
  OrvSystemPathSet("a");
  std::string a = system_path(folder("a"));
  EXPECT_EQ(fetch(system_path(folder("b")) + "\\X.PNG"), "b");
  EXPECT_EQ(fetch(a + "\\ONLY_B.PNG"), "<none>");
  EXPECT_EQ(fetch("/" + a.substr(1) + "/x.png"), "a");  // either separator
}

// Every way an archive can lie about itself: the lookup passes the folder over and the search
// goes on to the older folder, which has the file loose.
TEST_F(FileAccess, DamagedArchivesArePassedOver) {
  std::string good, error;
  ASSERT_TRUE(pacpack::build_archive({{"x.png", "packed"}, {"xa.png", "other"}}, &good, &error));
  const uint32_t bucket = pac::kHeaderSize + 'X' * pac::kBucketSize;
  const uint32_t entry = pac::kDirectoryStart;  // X.PNG sorts first
  auto patched = [&](uint32_t at, uint32_t value) {
    std::string b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>(value >> (8 * i));
    return b;
  };
  const struct {
    const char* what;
    std::string bytes;
  } kDamaged[] = {
      {"empty file", ""},
      {"cut inside the bucket table", good.substr(0, 100)},
      {"cut inside the directory", good.substr(0, pac::kDirectoryStart + 20)},
      {"cut inside the member's data", good.substr(0, good.size() - 8)},
      {"bucket points past the directory", patched(bucket, 1000000)},
      {"bucket index negative", patched(bucket, 0xFFFFFFFF)},
      {"bucket count huge", patched(bucket + 4, 0xFFFFFFFF)},
      {"member offset past the end", patched(entry + 36, 0x7FFFFFF0)},
      {"member size past the end", patched(entry + 32, 0x1000)},
      {"offset plus size wraps at 32 bits", patched(entry + 32, 0xFFFFFFF0)},
  };
  loose("old", "x.png", "fallback");
  OrvSystemPathSet("old");
  OrvSystemPathSet("new");
  archive_bytes("new", good);
  EXPECT_EQ(fetch("x.png"), "packed");
  int n = 0;
  for (const auto& c : kDamaged) {
    // Each in a folder of its own: an archive is reported once per run.
    const std::string where = "new" + std::to_string(n++);
    archive_bytes(where, c.bytes);
    OrvSystemPathInit();
    OrvSystemPathSet("old");
    OrvSystemPathSet(where.c_str());
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(fetch("x.png"), "fallback") << c.what;
    EXPECT_EQ(fetch("x.png"), "fallback") << c.what;
    const std::string said = ::testing::internal::GetCapturedStderr();
    // One clear line that names the file, however often it is looked into.
    EXPECT_EQ(said.rfind("Bad archive " + folder(where) + ".pac: ", 0), 0u)
        << c.what << ": " << said;
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.what << ": " << said;
  }
}

// What a lookup learns of an archive (that it is there, its bucket table) is kept until the
// search folders change; then the archive as it lies now is read again.
TEST_F(FileAccess, ArchivesAreReadAgainWhenTheSearchFoldersChange) {
  OrvSystemPathSet("pk");
  EXPECT_EQ(fetch("x.png"), "<none>");  // no archive yet
  archive("pk", {{"x.png", "one"}, {"y.png", "why"}});
  OrvSystemPathSet("other");
  EXPECT_EQ(fetch("x.png"), "one");
  EXPECT_EQ(fetch("y.png"), "why");
  EXPECT_EQ(fetch("z.png"), "<none>");
  // A different archive, its members in other buckets and places.
  archive("pk", {{"a.png", "a"}, {"z.png", "zed"}, {"x.png", "second"}});
  OrvSystemPathClear();
  OrvSystemPathSet("pk");
  EXPECT_EQ(fetch("x.png"), "second");
  EXPECT_EQ(fetch("z.png"), "zed");
  EXPECT_EQ(fetch("y.png"), "<none>");
}

TEST_F(FileAccess, FullPath) {
  loose("a", "mask01.png", "m");
  archive("b", {{"packed.png", "p"}});
  OrvSystemPathSet("a");
  OrvSystemPathSet("b");
  const std::string a = system_path(folder("a"));
  char buf[512];
  EXPECT_EQ(OrvFileGetFullPath(buf, sizeof buf, "Mask\\Mask01.png"), 1);
  EXPECT_EQ(std::string(buf), a + "\\Mask01.png");  // where it lies, not under "Mask"
  EXPECT_TRUE(platform::file_exists(buf));
  EXPECT_EQ(OrvFileGetFullPath(buf, sizeof buf, "PACKED.PNG"), 1);
  EXPECT_EQ(std::string(buf), system_path(folder("b")) + "\\PACKED.PNG");
  // An absolute name missing from its own folder is tried in the base folder.
  loose("", "root.txt", "r");
  EXPECT_EQ(OrvFileGetFullPath(buf, sizeof buf, (a + "\\root.txt").c_str()), 1);
  EXPECT_EQ(std::string(buf), system_path(base_) + "\\root.txt");

  const std::string expect = a + "\\mask01.png";
  std::vector<char> exact(expect.size(), 'z');  // no room for the zero
  EXPECT_EQ(OrvFileGetFullPath(exact.data(), static_cast<uint32_t>(exact.size()), "mask01.png"), 0);
  EXPECT_EQ(exact[0], 0);  // zeroed before the copy
  std::vector<char> fits(expect.size() + 1);
  EXPECT_EQ(OrvFileGetFullPath(fits.data(), static_cast<uint32_t>(fits.size()), "mask01.png"), 1);
  EXPECT_EQ(std::string(fits.data()), expect);
  EXPECT_EQ(OrvFileGetFullPath(buf, sizeof buf, "missing.png"), 0);
  EXPECT_EQ(buf[0], 0);
}

TEST_F(FileAccess, SearchPathList) {
  EXPECT_EQ(OrvSystemPathSet("data"), 1);
  EXPECT_EQ(OrvSystemPathSet(system_path(dir_.path() + "/elsewhere").c_str()), 1);
  loose("data", "in_data.txt", "d");
  write_file(dir_ / "elsewhere/abs.txt", "e");
  EXPECT_EQ(fetch("in_data.txt"), "d");
  EXPECT_EQ(fetch("abs.txt"), "e");
  EXPECT_EQ(OrvSystemPathClear(), 1);
  EXPECT_EQ(fetch("in_data.txt"), "<none>");
  EXPECT_EQ(OrvSystemPathSet("data"), 1);
  EXPECT_EQ(OrvSystemPathInit(), 1);  // a new, empty list; the old one is freed (LSan checks)
  EXPECT_EQ(fetch("in_data.txt"), "<none>");
  EXPECT_EQ(OrvSystemPathUninit(), 1);
  // Without a list nothing can be added, and saying so is the honest answer.
  EXPECT_EQ(OrvSystemPathSet("data"), 0);
  EXPECT_EQ(OrvSystemPathClear(), 0);
  EXPECT_EQ(OrvSystemPathUninit(), 0);
  EXPECT_EQ(OrvSystemPathInit(), 1);
  EXPECT_STREQ(file_base_folder(), system_path(base_).c_str());  // an existing base is kept
  // An empty one becomes the program's folder, written as the system writes paths.
  file_set_base_folder("");
  EXPECT_EQ(OrvSystemPathInit(), 1);
  std::string program =
      system_path(std::filesystem::canonical("/proc/self/exe").parent_path().string());
  EXPECT_STREQ(file_base_folder(), program.c_str());
}

// Lookups share nothing but the listing cache: threads may open files at once, also while a
// folder they search changes.
TEST_F(FileAccess, ThreadsLookUpAtOnce) {
  std::vector<pacpack::Member> members;
  for (int i = 0; i < 50; ++i) {
    loose("a", "loose" + std::to_string(i) + ".txt", "L" + std::to_string(i));
    members.push_back({"PACKED" + std::to_string(i) + ".TXT", "P" + std::to_string(i)});
  }
  archive("b", members);
  OrvSystemPathSet("a");
  OrvSystemPathSet("b");
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int k = 0; k < 200; ++k) {
        int i = (k * 7 + t) % 50;
        bool packed = (k + t) % 2;
        std::string name = (packed ? "packed" : "LOOSE") + std::to_string(i) + ".txt";
        if (fetch(name) != (packed ? "P" : "L") + std::to_string(i)) ++wrong;
      }
    });
  }
  for (int k = 0; k < 20; ++k) loose("a", "churn" + std::to_string(k) + ".tmp", "x");
  for (std::thread& t : threads) t.join();
  EXPECT_EQ(wrong.load(), 0);
}

TEST_F(FileAccess, SetFilePointerTakesBothWords) {
  loose("", "ten.bin", "0123456789");
  FileRange r;
  OrvFileHandle f = OrvFileCreate("ten.bin", &r);
  ASSERT_NE(f, kOrvInvalidFile);
  EXPECT_EQ(OrvFileSetFilePointer(f, 4, 0, 0, platform::kFileBegin), 1);
  EXPECT_EQ(platform::file_seek(f, 0, platform::kFileCurrent), 4);
  EXPECT_EQ(OrvFileSetFilePointer(f, -3, -1, 0, platform::kFileEnd), 1);
  EXPECT_EQ(platform::file_seek(f, 0, platform::kFileCurrent), 7);
  platform::file_close(f);
}

TEST(PacNames, Normalisation) {
  const struct {
    const char* name;
    const char* stored;
  } kCases[] = {
      {"Mask\\mask01.png", "MASK01.PNG"},
      {"a/b\\c.Ogg", "C.OGG"},
      {"C:name.txt", "NAME.TXT"},
      {"\x83\x5C\\\x95\x5C.png", "\x95\x5C.PNG"},  // trail bytes 0x5C are no separators
      {"\x83\x7C"
       "a.txt",
       "\x83\x7C"
       "A.TXT"},  // 0x7C is a trail byte, not '|'
      {"\xB1"
       "ab.txt",
       "\xB1"
       "aB.TXT"},  // the byte after a one-byte kana keeps its case
      {"folder\\", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(pac::normalize_name(c.name), c.stored) << c.name;
  EXPECT_EQ(pac::normalize_name(std::string(259, 'a').c_str()), std::string(259, 'A'));
  EXPECT_EQ(pac::normalize_name(std::string(260, 'a').c_str()), "");
}

}  // namespace
