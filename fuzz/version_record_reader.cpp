// Velmora.version text in: the record takes whatever lines it knows, and the Comments value
// then yields settings within their ranges.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "engine/formats/startup_info.h"
#include "engine/startup_params.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  engine::VersionRecord record = engine::version_record_builtin();
  engine::version_record_apply(&record,
                               std::string_view(reinterpret_cast<const char*>(data), size));
  if (record.company.size() > size + 64 || record.comments.size() > size + 64) std::abort();
  engine::StartupSettings s;
  engine::comment_tokens_apply(record.comments, &s);
  if (s.nScreenSizeIndex > 5 || (s.nRunMode != 0 && s.nRunMode != 1 && s.nRunMode != 3)) {
    std::abort();
  }
  const engine::ScreenSize row = engine::screen_size_row(s.nScreenSizeIndex);
  if (row.client_width <= 0) std::abort();
  return 0;
}
