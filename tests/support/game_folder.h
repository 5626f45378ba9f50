// A game folder in a temporary directory, in the shape a player's copy has: the built Velmora
// and dll/, data/archive.dat, System.ini, Velmora.version and an assembled script, loose in
// data/ or packed into an archive. Each folder gets its own product name, so that the
// single-instance locks of parallel tests never meet.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace testsupport {

struct GameFolderOptions {
  std::string company = "Test Works";
  std::string product;             // empty: a name unique to this folder
  std::string comments;            // the version record's Comments (start-up tokens)
  std::string system_ini;          // the text of System.ini; empty: no file
  std::string script = "  end\n";  // assembler source
  bool packed = true;              // the script in scene.pac (true) or loose in data/ (false)
  // More files for scene.pac (name, bytes): pictures and sounds the script names.
  std::vector<std::pair<std::string, std::string>> members;
  bool with_archive_dat = true;
  // A folder inside the temporary one that holds the game and the XDG folders (names that
  // Shift-JIS cannot write, for example); empty: the temporary folder itself.
  std::string folder;
};

class GameFolder {
 public:
  explicit GameFolder(const GameFolderOptions& options = {});
  const std::string& path() const { return root_; }
  std::string operator/(const std::string& relative) const { return root_ + "/" + relative; }
  const std::string& product() const { return product_; }
  // The save folder beside the program.
  std::string save() const { return root_ + "/save"; }

  // Runs Velmora headless (dummy video and audio, /DIB) with its own XDG folders below the
  // temporary directory, plus `env`.
  RunResult run(std::vector<std::string> args = {}, std::map<std::string, std::string> env = {},
                int timeout_s = 60, const RunControl& control = {}) const;
  // The same with the game folder read-only for the program. Root writes past permission bits,
  // so under root the folder is bind-mounted read-only in a mount namespace of the run's own
  // (unshare); *skipped tells when neither way is available.
  RunResult run_read_only(bool* skipped, std::map<std::string, std::string> env = {}) const;

 private:
  std::map<std::string, std::string> environment(
      const std::map<std::string, std::string>& env) const;

  TempDir dir_;
  std::string root_;
  std::string product_;
};

// Velmora.version text: "Key=Value" lines.
std::string version_record_text(const std::string& company, const std::string& product,
                                const std::string& comments);

}  // namespace testsupport
