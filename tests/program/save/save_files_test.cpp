// Save files on disk: a failing step (create, write, flush, rename) keeps the old file byte for
// byte and leaves no temporary file; a writer killed at random moments leaves exactly the old
// or the new file; move_file with each of its renames failing in turn loses nothing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "program/save/save_fixture.h"
#include "save/save_files.h"

namespace savetest {
namespace {

constexpr const char* kScript = "start:\n  call wait_frame\n  jmp start\n";

// The files of the save folder, by name.
std::vector<std::string> listing(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class SaveFiles : public SaveTest {
 protected:
  void SetUp() override {
    SaveTest::SetUp();
    load(kScript);
    vm().userMem[0] = 1;
    snap(0);
  }
};

TEST_F(SaveFiles, AFailingStepKeepsTheOldFile) {
  ASSERT_EQ(call(0x0A0000, {4, 1}), 0u);  // save 4, newest
  ASSERT_EQ(gs().settings.nNewestSave, 4);
  const std::string old_file = slot_file(4);
  gs().settings.nNewestSave = 2;
  vm().userMem[0] = 2;
  snap(0);
  struct Case {
    const char* name;
    void (*inject)();
    const char* line;
  };
  const Case cases[] = {
      {"create", [] { save::save_file_ops.create = [](const char*) { return kOrvInvalidFile; }; },
       "save error ["},
      {"short write",
       [] {
         save::save_file_ops.write = [](OrvFileHandle f, const void* data, uint32_t size) {
           save::kSaveFileOpsReal.write(f, data, size / 2);
           return false;
         };
       },
       "could not be written whole"},
      {"flush", [] { save::save_file_ops.flush = [](OrvFileHandle) { return false; }; },
       "could not be written whole"},
      {"rename",
       [] { save::save_file_ops.replace = [](const char*, const char*) { return false; }; },
       "could not be written whole"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    save::save_file_ops = save::kSaveFileOpsReal;
    c.inject();
    logs_.clear();
    call(0x0A0000, {4, 1});
    EXPECT_EQ(slot_file(4), old_file);
    EXPECT_EQ(listing(save_), std::vector<std::string>{"save004.dat"});
    EXPECT_EQ(gs().settings.nNewestSave, 2);
    EXPECT_TRUE(logged(0, c.line));
  }
  // With the real steps the new file replaces the old one and becomes the newest.
  save::save_file_ops = save::kSaveFileOpsReal;
  call(0x0A0000, {4, 1});
  EXPECT_NE(slot_file(4), old_file);
  EXPECT_EQ(gs().settings.nNewestSave, 4);
  EXPECT_EQ(listing(save_), std::vector<std::string>{"save004.dat"});
}

TEST_F(SaveFiles, AWriterKilledAtRandomLeavesTheOldOrTheNewFile) {
  const std::string path = save::slot_path(1);
  const std::string native = save_ + "/save001.dat";
  std::vector<uint8_t> old_bytes(256 * 1024), new_bytes(256 * 1024);
  for (size_t i = 0; i < old_bytes.size(); ++i) {
    old_bytes[i] = static_cast<uint8_t>(i * 7);
    new_bytes[i] = static_cast<uint8_t>(i * 13 + 1);
  }
  const std::string old_s(old_bytes.begin(), old_bytes.end());
  const std::string new_s(new_bytes.begin(), new_bytes.end());
  std::mt19937 rng(2024);
  int saw_old = 0, saw_new = 0;
  for (int round = 0; round < 100; ++round) {
    testsupport::write_file(native, old_s);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      const bool ok = save::file_write_atomic(path, new_bytes.data(), new_bytes.size()) ==
                      save::WriteResult::kOk;
      _exit(ok ? 0 : 1);
    }
    usleep(std::uniform_int_distribution<int>(0, 3000)(rng));
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    const std::string now = testsupport::read_file(native);
    ASSERT_TRUE(now == old_s || now == new_s)
        << "round " << round << ": " << now.size() << " bytes";
    (now == old_s ? saw_old : saw_new)++;
    // A killed writer may leave its temporary file, never under a save name.
    for (const std::string& name : listing(save_)) {
      ASSERT_TRUE(name == "save001.dat" || name.rfind("save001.dat.tmp", 0) == 0) << name;
      if (name != "save001.dat") std::filesystem::remove(save_ + "/" + name);
    }
  }
  RecordProperty("old", saw_old);
  RecordProperty("new", saw_new);
}

class MoveFile : public SaveFiles {
 protected:
  void put_slot(int slot, const std::string& bytes) {
    char name[32];
    std::snprintf(name, sizeof name, "save/save%03d.dat", slot);
    put(name, bytes);
  }
};

// The n-th move of a move_file fails (0: none).
int g_move_fail_at = 0, g_moves = 0;
bool counting_move(const char* from, const char* to) {
  if (++g_moves == g_move_fail_at) return false;
  return save::kSaveFileOpsReal.move(from, to);
}

TEST_F(MoveFile, EachRenameFailingInTurnLosesNothing) {
  for (int fail = 1; fail <= 3; ++fail) {
    SCOPED_TRACE(fail);
    put_slot(2, "file two");
    put_slot(4, "file four");
    gs().settings.nNewestSave = 4;
    g_move_fail_at = fail;
    g_moves = 0;
    save::save_file_ops.move = counting_move;
    EXPECT_EQ(call(0x0A001D, {2, 4}), 0u);
    EXPECT_EQ(slot_file(2), "file two");
    EXPECT_EQ(slot_file(4), "file four");
    EXPECT_EQ(gs().settings.nNewestSave, 4);
    EXPECT_EQ(listing(save_), (std::vector<std::string>{"save002.dat", "save004.dat"}));
  }
  g_move_fail_at = 0;
  g_moves = 0;
  EXPECT_EQ(call(0x0A001D, {2, 4}), 1u);
  EXPECT_EQ(slot_file(2), "file four");
  EXPECT_EQ(slot_file(4), "file two");
  EXPECT_EQ(gs().settings.nNewestSave, 2);  // the newest save follows its file
  EXPECT_EQ(g_moves, 3);
}

TEST_F(MoveFile, EdgesOfTheSwap) {
  // A missing file still lets the other one move.
  put_slot(2, "file two");
  gs().settings.nNewestSave = 2;
  call(0x0A001D, {2, 6});
  EXPECT_EQ(slot_file(2), "<missing>");
  EXPECT_EQ(slot_file(6), "file two");
  EXPECT_EQ(gs().settings.nNewestSave, 6);
  // A leftover temporary file is never overwritten: the move fails.
  put("save/save_tmp.dat", "someone's data");
  put_slot(2, "file two");
  EXPECT_EQ(call(0x0A001D, {2, 6}), 0u);
  EXPECT_EQ(get("save/save_tmp.dat"), "someone's data");
  EXPECT_EQ(slot_file(2), "file two");
  EXPECT_EQ(slot_file(6), "file two");
  // Slots outside 0-999 are refused.
  std::filesystem::remove(save_ + "/save_tmp.dat");
  EXPECT_EQ(call(0x0A001D, {-1u, 2}), 0u);
  EXPECT_EQ(call(0x0A001E, {1000, 2}), 0u);
  EXPECT_EQ(slot_file(2), "file two");
}

TEST_F(MoveFile, CopyAndDeleteMoveTheNewestSave) {
  put_slot(7, "seven");
  gs().settings.nNewestSave = 7;
  EXPECT_EQ(call(0x0A001E, {3, 7}), 1u);  // copy_file 3, 7
  EXPECT_EQ(slot_file(3), "seven");
  EXPECT_EQ(gs().settings.nNewestSave, 3);
  EXPECT_EQ(call(0x0A001C, {3}), 1u);  // delete_file 3
  EXPECT_EQ(gs().settings.nNewestSave, -1);
  EXPECT_EQ(slot_file(3), "<missing>");
  EXPECT_EQ(listing(save_), std::vector<std::string>{"save007.dat"});
}

TEST_F(MoveFile, SaveLockKeepsTheFileTime) {
  put_slot(5, std::string("\0\0\0\0rest", 8));
  const auto stamp =
      std::filesystem::last_write_time(save_ + "/save005.dat") - std::chrono::hours(30);
  std::filesystem::last_write_time(save_ + "/save005.dat", stamp);
  call(0x0A0020, {5, 9});  // save_lock 5, 9
  EXPECT_EQ(slot_file(5), std::string("\x09\0\0\0rest", 8));
  EXPECT_EQ(std::chrono::floor<std::chrono::milliseconds>(
                std::filesystem::last_write_time(save_ + "/save005.dat")),
            std::chrono::floor<std::chrono::milliseconds>(stamp));
  EXPECT_EQ(call(0x0A0021, {5}), 9u);  // is_save_lock
  EXPECT_EQ(call(0x0A0021, {8}), 0u);  // missing
}

}  // namespace
}  // namespace savetest
