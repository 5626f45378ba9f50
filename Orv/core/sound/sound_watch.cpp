#include "Orv/core/sound/sound_watch.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "Orv/core/sound/sound_record.h"
#include "Orv/core/sound/sound_source.h"
#include "Orv/core/sound/sound_system.h"

namespace {

struct WatchLayout {
  int32_t key;
  const char* handle_row;  // format of a handle row
  int handles;
  size_t stride;  // bytes between the handles in the game program's table
  int group;
  bool music;  // five rows per channel with the stream positions
};

constexpr WatchLayout kLayouts[] = {
    {14, "se(%d) ch=&H%08X", 16, 64, 4, false},
    {15, "bgm(%d) ch=&H%08X", 2, 92, 2, true},
    {19, "bgv(%d) ch=&H%08X", 8, 92, 7, false},
};

const WatchLayout* layout_of(int32_t key) {
  for (const WatchLayout& l : kLayouts) {
    if (l.key == key) return &l;
  }
  return nullptr;
}

std::string line(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

uint32_t file_handle_of(const SoundChannel& c) {
  if (!c.source || c.source->file.handle == platform::kInvalidFile) return 0;
  return static_cast<uint32_t>(c.source->file.handle);
}

}  // namespace

bool sound_watch_key(int32_t key) {
  return layout_of(key) != nullptr;
}

std::vector<std::string> sound_watch_rows(int32_t key, const uint8_t* table) {
  std::vector<std::string> rows;
  const WatchLayout* l = layout_of(key);
  if (!l) return rows;
  for (int i = 0; i < l->handles; ++i) {
    uint32_t handle = 0;
    if (table) std::memcpy(&handle, table + i * l->stride, sizeof handle);
    rows.push_back(line(l->handle_row, i, handle));
  }
  SoundRecord& r = sound_record();
  std::lock_guard<std::recursive_mutex> lock(r.lock);
  const SoundGroup& g = kSoundGroupTable[l->group];
  for (int i = 0; i < g.count; ++i) {
    const SoundChannel& c = r.channels[g.first + i];
    rows.push_back(
        line("[%d] init=%d / play=%d / reserved=%d / loop=%d / ogg=%d / single=%d / "
             "pause=%d",
             i, c.loaded, c.playing, c.reserved, c.loop, c.ogg, c.ended, c.paused));
    rows.push_back(line("    hFile=%08Xh / filename=%.32s", file_handle_of(c), c.file_name));
    if (l->music) {
      rows.push_back(line("    start=%d / end=%d / loop=%d / sendpos=%d", c.start, c.end,
                          c.loop_pos, c.read_pos));
      rows.push_back(line("    totalpos=%d / prevCursor=%d", c.play_pos, c.prev_cursor));
    } else {
      rows.push_back(
          line("    start=%d / end=%d / loop=%d / now=%d", c.start, c.end, c.loop_pos, c.read_pos));
    }
    rows.push_back(line("    mode=%d / type=%d / fadetype=%d / fadetime=%d / vol=%d",
                        c.command.load(), c.type, c.fade_kind, c.fade_time, c.volume));
  }
  return rows;
}
