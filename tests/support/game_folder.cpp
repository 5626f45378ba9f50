#include "support/game_folder.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <atomic>
#include <filesystem>

#include "pacpack/pac_writer.h"
#include "vmasm/assembler.h"

namespace fs = std::filesystem;

namespace testsupport {
namespace {

std::string unique_product() {
  static std::atomic<int> counter{0};
  return "VelmoraTest" + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

}  // namespace

std::string version_record_text(const std::string& company, const std::string& product,
                                const std::string& comments) {
  return "CompanyName=" + company + "\nProductName=" + product +
         "\nOriginalFilename=Velmora\nComments=" + comments + "\n";
}

GameFolder::GameFolder(const GameFolderOptions& o)
    : root_(o.folder.empty() ? dir_.path() : dir_ / o.folder),
      product_(o.product.empty() ? unique_product() : o.product) {
  fs::create_directories(root_);
  fs::copy_file(VELMORA_BIN_DIR "/Velmora", root_ + "/Velmora");
  fs::copy(VELMORA_BIN_DIR "/dll", root_ + "/dll", fs::copy_options::recursive);
  write_file(root_ + "/Velmora.version", version_record_text(o.company, product_, o.comments));
  if (!o.system_ini.empty()) write_file(root_ + "/System.ini", o.system_ini);
  if (o.with_archive_dat) write_file(root_ + "/data/archive.dat", "scene");
  vmasm::ScriptFiles files;
  std::string error;
  EXPECT_TRUE(vmasm::assemble(o.script, &files, &error)) << error;
  std::vector<pacpack::Member> members = {{"Script.src", files.script},
                                          {"File.dat", files.file},
                                          {"Text.dat", files.text},
                                          {"Mem.dat", files.mem},
                                          {"Point.dat", files.point}};
  for (const auto& [name, data] : o.members) members.push_back({name, data});
  if (o.packed) {
    std::string archive;
    EXPECT_TRUE(pacpack::build_archive(members, &archive, &error)) << error;
    write_file(root_ + "/scene.pac", archive);
  } else {
    for (const pacpack::Member& m : members) write_file(root_ + "/data/" + m.name, m.data);
  }
}

std::map<std::string, std::string> GameFolder::environment(
    const std::map<std::string, std::string>& env) const {
  std::map<std::string, std::string> all = {
      {"SDL_VIDEODRIVER", "dummy"},
      {"SDL_AUDIODRIVER", "dummy"},
      {"XDG_DATA_HOME", root_ + "/xdg-data"},
      {"XDG_CONFIG_HOME", root_ + "/xdg-config"},
      {"XDG_RUNTIME_DIR", root_},
      {"VELMORA_STARTUP_TRACE", "1"},
  };
  for (const auto& [k, v] : env) all[k] = v;
  return all;
}

RunResult GameFolder::run(std::vector<std::string> args, std::map<std::string, std::string> env,
                          int timeout_s, const RunControl& control) const {
  args.insert(args.begin(), "/DIB");
  return run_program(root_ + "/Velmora", args, root_, environment(env), timeout_s, control);
}

RunResult GameFolder::run_read_only(bool* skipped, std::map<std::string, std::string> env) const {
  *skipped = false;
  if (geteuid() != 0) {
    fs::permissions(root_, fs::perms::owner_write, fs::perm_options::remove);
    RunResult r = run({}, env);
    fs::permissions(root_, fs::perms::owner_write, fs::perm_options::add);
    return r;
  }
  const char* kMountReadOnly =
      "mount --bind \"$0\" \"$0\" && mount -o remount,bind,ro \"$0\" \"$0\" && exec \"$@\"";
  if (run_program("/usr/bin/unshare", {"-m", "sh", "-c", kMountReadOnly, root_, "true"})
          .exit_code != 0) {
    *skipped = true;
    return {};
  }
  return run_program("/usr/bin/unshare",
                     {"-m", "sh", "-c", kMountReadOnly, root_, root_ + "/Velmora", "/DIB"}, root_,
                     environment(env));
}

}  // namespace testsupport
