#include "engine/game_files.h"

#include "engine/orv_api.h"
#include "platform/file_handle.h"
#include "platform/sjis.h"
#include "platform/system_query.h"

namespace engine {

bool game_file_load(std::string_view sjis_path, std::vector<uint8_t>* out, size_t max_size) {
  out->clear();
  if (sjis_path.empty()) return false;
  int64_t size = 0;
  const OrvFileHandle f = orv.OrvFileOpen(std::string(sjis_path).c_str(), platform::kGenericRead,
                                          platform::kFileShareRead, platform::kOpenExisting,
                                          platform::kFileFlagSequentialScan, &size);
  if (f == kOrvInvalidFile) return false;
  bool ok = size >= 0 && static_cast<uint64_t>(size) <= max_size && size < (int64_t{1} << 32);
  if (ok && size > 0) {
    out->resize(static_cast<size_t>(size));
    uint32_t done = 0;
    ok = platform::file_read(f, out->data(), static_cast<uint32_t>(size), &done) && done == size;
  }
  platform::file_close(f);
  if (!ok) out->clear();
  return ok;
}

bool game_file_save(std::string_view sjis_path, const void* data, size_t size) {
  if (sjis_path.empty() || size >= (size_t{1} << 32)) return false;
  const std::string path(sjis_path);
  const std::string tmp = path + ".tmp" + std::to_string(platform::process_id());
  const OrvFileHandle f =
      orv.OrvFileOpen(tmp.c_str(), platform::kGenericWrite, 0, platform::kCreateAlways, 0, nullptr);
  if (f == kOrvInvalidFile) return false;
  uint32_t written = 0;
  bool ok = size == 0 || platform::file_write(f, data, static_cast<uint32_t>(size), &written);
  ok = ok && platform::file_flush(f);
  ok = platform::file_close(f) && ok;
  if (ok && orv.OrvFileReplace(tmp.c_str(), path.c_str())) return true;
  orv.OrvFileDelete(tmp.c_str());
  return false;
}

std::vector<FoundFile> game_files_find(std::string_view sjis_pattern) {
  std::vector<FoundFile> found;
  orv.OrvFileFind(
      std::string(sjis_pattern).c_str(),
      [](const char* name, int32_t is_folder, void* context) {
        static_cast<std::vector<FoundFile>*>(context)->push_back(FoundFile{name, is_folder != 0});
      },
      &found);
  return found;
}

int game_files_remove_stale_temporaries(std::string_view sjis_folder) {
  const std::string folder(sjis_folder);
  const std::string own = std::to_string(platform::process_id());
  int removed = 0;
  for (const FoundFile& e : game_files_find(folder + "\\*")) {
    if (e.is_folder) continue;
    const size_t mark = e.name.rfind(".tmp");
    if (mark == std::string::npos || mark == 0) continue;
    const std::string digits = e.name.substr(mark + 4);
    if (digits.empty() || digits.size() > 10 || digits == own ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      continue;
    }
    if (orv.OrvFileDelete((folder + "\\" + e.name).c_str())) ++removed;
  }
  return removed;
}

int32_t path_kind(const char* path) {
  if (!path || !*path) return 0;
  const std::vector<FoundFile> found = game_files_find(path);
  if (found.empty()) return 0;
  return found.front().is_folder ? 2 : 1;
}

std::string game_file_native_path(std::string_view sjis_path) {
  // A Shift-JIS character becomes at most three UTF-8 bytes.
  std::vector<char> out(sjis_path.size() * 3 + 2);
  if (!orv.OrvFileNativePath(out.data(), static_cast<uint32_t>(out.size()),
                             std::string(sjis_path).c_str())) {
    return {};
  }
  return out.data();
}

std::string game_file_shown_path(std::string_view sjis_path) {
  const std::string native = game_file_native_path(sjis_path);
  return native.empty() ? std::string(sjis_path) : platform::utf8_to_sjis_path(native);
}

}  // namespace engine
