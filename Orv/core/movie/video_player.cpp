#include "Orv/core/movie/video_player.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>

#include "Orv/core/error_report.h"
#include "Orv/core/movie/movie_player.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/core/window/app_messages.h"
#include "Orv/core/window/input.h"
#include "Orv/core/window/process.h"
#include "Orv/render/image_store.h"
#include "Orv/render/render_state.h"
#include "Orv/render/renderer.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/sleep.h"

namespace {

enum VideoKind : int16_t { kKindNone = 0, kKindMpeg = 1, kKindWmv = 2 };
enum VideoEvent : int32_t { kEventNone = 0, kEventComplete, kEventUserAbort, kEventErrorAbort };

constexpr int32_t kFadeMs = 1000;
constexpr int kRestartTries = 11;

struct VideoRecord {
  std::recursive_mutex mutex;
  MoviePlayer* player = nullptr;
  ImageObject* image = nullptr;
  int16_t kind = kKindNone;
  int16_t skip_mode = 0;
  char path[260] = {};
  int64_t current_ms = 0;
  int64_t failed_at_ms = -1;  // where the last decoding failure happened
  std::atomic<int32_t> state{0};
  uint32_t fade_start = 0;
  int32_t fade_time = kFadeMs;
  int32_t backup[3] = {};
  std::atomic<int32_t> level{100};
  std::atomic<int32_t> pending{kEventNone};
};

VideoRecord& video() {
  static VideoRecord v;
  return v;
}

bool ends_with(const char* name, const char* ext) {
  const size_t n = std::strlen(name), e = std::strlen(ext);
  if (n < e) return false;
  for (size_t i = 0; i < e; ++i) {
    char c = name[n - e + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != ext[i]) return false;
  }
  return true;
}

// The video's volume (0..10000) from the music (type 3) and movie (type 0) volumes.
int32_t video_volume() {
  const SoundRecord& s = sound_record();
  const int32_t music = s.type_volume[3], movie = s.type_volume[0];
  int32_t v = 0;
  switch (s.video_volume_type & 3) {
    case 0:
      v = music;
      break;
    case 1:
      v = movie;
      break;
    case 2:
      v = int32_t(int64_t(music) * movie / 10000);
      break;
    default:
      v = music - movie;
      break;
  }
  return std::clamp(v, 0, 10000);
}

int32_t video_decibels(int32_t level_percent) {
  return sound_decibels(video_volume() * level_percent / 100, sound_record().master_volume);
}

void set_playing(bool on) {
  orv_process().is_movie = on;
  orv_render().fullscreen_movie = on;
}

// Opens the recorded path; the caller holds the mutex.
bool video_open(VideoRecord& v) {
  MoviePlayerOptions options;
  options.container =
      v.kind == kKindWmv ? platform::MovieContainer::kAsf : platform::MovieContainer::kMpegProgram;
  options.require_audio = v.kind == kKindWmv;  // a Windows Media video must carry sound
  const StartParams& params = orv_process().params;
  options.width = params.screen_width;
  options.height = params.screen_height;
  options.fit = true;
  options.volume = video_decibels(100);
  std::string why;
  v.player = movie_player_open(v.path, options, &why);
  if (!v.player) {
    error_reportf(ErrorLog::kWrite, "Video : Load %s: %s", v.path, why.c_str());
    return false;
  }
  v.image = image_create(movie_player_width(v.player), movie_player_height(v.player), nullptr);
  if (!v.image) {
    movie_player_close(v.player);
    v.player = nullptr;
    return false;
  }
  v.state = 1;
  v.fade_time = kFadeMs;
  v.level = 100;
  return true;
}

void video_close(VideoRecord& v, bool keep_playing) {
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  movie_player_close(v.player);
  v.player = nullptr;
  image_release(v.image);
  v.image = nullptr;
  window_post(kWndShowCursor, 1);
  set_playing(keep_playing);
}

bool video_restart(VideoRecord& v) {
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  for (int attempt = 0; attempt < kRestartTries; ++attempt) {
    if (attempt > 0) platform::sleep_ms(100);
    if (video_open(v)) {
      if (v.current_ms > 0) movie_player_seek(v.player, v.current_ms);
      movie_player_run(v.player);
      set_playing(true);
      return true;
    }
  }
  // Nothing would be drawn again: the video ends and the game goes on.
  v.state = 0;
  set_playing(false);
  window_post(kWndShowCursor, 1);
  return false;
}

void request_stop(VideoRecord& v, int32_t event) {
  int32_t none = kEventNone;
  if (v.pending.compare_exchange_strong(none, event)) window_post(kWndVideoEvents);
}

const char* event_name(int32_t event) {
  switch (event) {
    case kEventComplete:
      return "EC_COMPLETE";
    case kEventUserAbort:
      return "EC_USERABORT";
    case kEventErrorAbort:
      return "EC_ERRORABORT";
    default:
      return nullptr;
  }
}

}  // namespace

void video_frame_step() {
  VideoRecord& v = video();
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  if (!v.player) return;  // closed with the flag kept: nothing to step
  v.current_ms = movie_player_position(v.player);
  switch (movie_player_event(v.player)) {
    case MovieEvent::kComplete:
      request_stop(v, kEventComplete);
      return;
    case MovieEvent::kError:
      request_stop(v, kEventErrorAbort);
      return;
    case MovieEvent::kNone:
      break;
  }
  const uint32_t now = platform::time_ms();
  if (v.state == 2) {
    const uint32_t elapsed = now - v.fade_start;
    if (int64_t(elapsed) < v.fade_time) {
      const int32_t level = 100 - int32_t(100 * int64_t(elapsed) / v.fade_time);
      v.level = level;
      movie_player_set_volume(v.player, video_decibels(level));
      return;
    }
    v.level = 0;
    OrvInputClear();
    request_stop(v, kEventUserAbort);
    return;
  }
  const InputState& in = orv_process().input;
  if ((in.key_now & kKeyAlt) && (in.key_now & kKeyEnter)) return;
  const uint32_t skip = v.skip_mode == 0
                            ? kKeyEsc | kKeyMouseR
                            : kKeyEsc | kKeySpace | kKeyEnter | kKeyMouseL | kKeyMouseR;
  if (!(in.push & skip) || v.state != 1) return;
  if (OrvEffectEnableIs()) {
    v.state = 2;
    v.fade_start = now;
    return;
  }
  v.state = 3;
  OrvInputClear();
  request_stop(v, kEventUserAbort);
}

void video_window_events() {
  VideoRecord& v = video();
  const int32_t event = v.pending.exchange(kEventNone);
  if (const char* name = event_name(event)) OrvDebugPrintf(10, "", "%s: ", name);
  switch (event) {
    case kEventComplete:
    case kEventUserAbort:
      v.state = 0;
      video_close(v, false);
      return;
    case kEventErrorAbort: {
      std::lock_guard<std::recursive_mutex> guard(v.mutex);
      // A damaged file fails at the same place each time: reopening there would go on for
      // ever, so a second failure before the position advanced ends the video.
      const bool again = v.failed_at_ms >= 0 && v.current_ms <= v.failed_at_ms;
      v.failed_at_ms = v.current_ms;
      if (again) {
        error_reportf(ErrorLog::kWrite, "Video : %s cannot be decoded further", v.path);
        v.state = 0;
        video_close(v, false);
        return;
      }
      video_close(v, true);
      video_restart(v);
      return;
    }
    default:
      return;
  }
}

void video_draw(const Renderer* renderer) {
  VideoRecord& v = video();
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  if (!v.player || !v.image || !renderer) return;
  int32_t pitch = 0;
  if (uint32_t* pixels = image_pixels(v.image, &pitch, nullptr)) {
    if (movie_player_take(v.player, pixels, pitch)) image_mark_changed(v.image);
  }
  const StartParams& params = orv_process().params;
  DrawRequest request;
  request.image = v.image;
  request.rect = OrvRect{0, 0, v.image->width, v.image->height};
  request.x = (params.screen_width - v.image->width) / 2;
  request.y = (params.screen_height - v.image->height) / 2;
  const uint32_t alpha = uint32_t(std::clamp(v.level.load(), 0, 100)) * 255u / 100u;
  request.color = (alpha << 24) | 0x00FFFFFFu;
  request.render_mode = 1;
  renderer->draw_sprite(request);
}

void video_shutdown() {
  VideoRecord& v = video();
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  movie_player_close(v.player);
  v.player = nullptr;
  image_release(v.image);
  v.image = nullptr;
  v.state = 0;
  v.pending = kEventNone;
  set_playing(false);
}

bool video_wait_decoded(int64_t ms) {
  VideoRecord& v = video();
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  return v.player && movie_player_wait_decoded(v.player, ms);
}

int32_t video_sound_volume() {
  VideoRecord& v = video();
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  return v.player ? movie_player_volume(v.player) : -10000;
}

void video_report_error() {
  request_stop(video(), kEventErrorAbort);
}

int32_t video_fade_level() {
  return video().level;
}

int32_t video_state() {
  return video().state;
}

extern "C" {

int32_t OrvVideoPlay(const char* name, int32_t skip_mode) {
  if (!name) return 0;
  VideoRecord& v = video();
  std::lock_guard<std::recursive_mutex> guard(v.mutex);
  if (v.player) video_shutdown();
  v.current_ms = 0;
  v.failed_at_ms = -1;
  v.skip_mode = int16_t(skip_mode);
  v.pending = kEventNone;
  if (orv_process().params.movie_format != 0 && ends_with(name, ".wmv")) {
    if (!OrvFileGetFullPath(v.path, sizeof v.path, name)) return 0;
    v.kind = kKindWmv;
  } else if (ends_with(name, ".mpg")) {
    std::strncpy(v.path, name, sizeof v.path - 1);
    v.path[sizeof v.path - 1] = '\0';
    v.kind = kKindMpeg;
  } else {
    return 0;
  }
  if (!video_open(v)) return 0;
  orv_render().draw_movie = video_draw;
  movie_player_run(v.player);
  set_playing(true);
  window_post(kWndShowCursor, 0, kShowCursorInClient);
  return 1;
}

int32_t OrvSetVideoVolumeType(int32_t type) {
  SoundRecord& s = sound_record();
  const int32_t old = s.video_volume_type;
  s.video_volume_type = (old & ~3) | (type & 3);
  return (old ^ s.video_volume_type) & 3;
}

void OrvVideoSaveState(void) {
  VideoRecord& v = video();
  v.backup[0] = v.state;
  v.backup[1] = int32_t(v.fade_start);
  v.backup[2] = v.fade_time;
}

void OrvVideoRestoreState(void) {
  VideoRecord& v = video();
  v.state = v.backup[0];
  v.fade_start = uint32_t(v.backup[1]);
  v.fade_time = v.backup[2];
}

}  // extern "C"
