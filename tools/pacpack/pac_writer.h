// Writing .pac archives exactly as the library reads them: the bucket table, the directory of
// 40-byte entries sorted by their upper-cased 32-byte name keys, then the members' data.
#pragma once

#include <string>
#include <vector>

namespace pacpack {

struct Member {
  std::string name;  // Shift-JIS; only its file-name part is stored, upper-cased
  std::string data;
};

// Builds the archive's bytes into *out. False with *error for a member whose stored name is
// empty or begins with byte 255, two members whose stored names agree on their first 32
// bytes, or an archive that would pass 4 GiB.
bool build_archive(const std::vector<Member>& members, std::string* out, std::string* error);

// Packs every regular file of a folder (not its subfolders) into an archive. Paths are UTF-8
// file-system paths; names on disk are stored in Shift-JIS. False with *error on failure.
bool pack_folder(const std::string& folder, const std::string& archive, std::string* error);

}  // namespace pacpack
