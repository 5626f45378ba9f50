#include "Orv/core/movie/movie_sprite.h"

#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "Orv/core/error_report.h"
#include "Orv/core/movie/movie_player.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/render/image_store.h"
#include "Orv/render/last_error.h"
#include "Orv/render/render_state.h"
#include "Orv/render/sprite.h"
#include "orv/orv.h"

namespace {

// A loop seek that keeps failing ends the movie instead of leaving it stuck.
constexpr int32_t kLoopSeekTries = 3;

void set_state(MovieRecord* m, uint32_t bits) {
  // Each update keeps bit 31 and the bits of the new state it shares.
  m->state = (m->state & (0x80000000u | bits)) | bits;
}

void movie_record_release(void* movie) {
  auto* m = static_cast<MovieRecord*>(movie);
  if (!m) return;
  movie_player_close(m->player);
  m->~MovieRecord();
  OrvMemoryFree(m);
}

MovieRecord* movie_record_create(const char* name) {
  if (!name || !*name) return nullptr;
  void* block = OrvMemoryAlloc(sizeof(MovieRecord), 1);
  if (!block) return nullptr;
  auto* m = new (block) MovieRecord;
  std::strncpy(m->file_name, name, sizeof m->file_name - 1);
  MoviePlayerOptions options;
  const SoundRecord& sound = sound_record();
  options.volume = sound_decibels(sound.type_volume[4], sound.master_volume);
  std::string why;
  m->player = movie_player_open(name, options, &why);
  if (!m->player) {
    // Every picture name is tried as a movie first: a missing movie is no error.
    if (why != kMovieNotFound) error_reportf(ErrorLog::kSkip, "movie %s: %s", name, why.c_str());
    movie_record_release(m);
    return nullptr;
  }
  const platform::MovieStreams& streams = movie_player_streams(m->player);
  m->width = streams.width;
  m->height = streams.height;
  m->sound = streams.audio;
  m->duration_ms = streams.duration_ms;
  m->loop_end = uint32_t(streams.duration_ms);
  return m;
}

MovieRecord* movie_of(OrvHandle handle) {
  OrvSprite* s = sprite_from(handle);
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return nullptr;
  }
  return static_cast<MovieRecord*>(s->movie);
}

bool movie_play(MovieRecord* m) {
  if (!m || !m->player) return false;
  movie_player_run(m->player);
  set_state(m, kMovieStatePlaying);
  return true;
}

void movie_stop(MovieRecord* m) {
  if (!m || !m->player || !movie_player_running(m->player)) return;
  movie_player_pause(m->player);
  set_state(m, kMovieStateStopped);
}

void movie_loop_back(MovieRecord* m) {
  movie_player_seek(m->player, m->loop_start);
  const bool whole = m->loop_end == 0 || int64_t(m->loop_end) >= m->duration_ms;
  movie_player_set_stop(m->player, whole ? 0 : m->loop_end);
}

void movie_end(MovieRecord* m) {
  movie_player_pause(m->player);
  set_state(m, kMovieStateEnded);
}

// The movie's events, taken on the game thread while it plays.
void movie_events(MovieRecord* m) {
  switch (movie_player_event(m->player)) {
    case MovieEvent::kNone:
      return;
    case MovieEvent::kComplete:
      if (m->loop) {
        movie_loop_back(m);
      } else {
        movie_end(m);
      }
      return;
    case MovieEvent::kError:
      // After a loop seek the error is the seek's: try again a few times, then give up.
      if (m->loop && m->seek_failures < kLoopSeekTries) {
        ++m->seek_failures;
        movie_loop_back(m);
      } else {
        error_reportf(ErrorLog::kSkip, "movie %s: it cannot be decoded further", m->file_name);
        movie_end(m);
      }
      return;
  }
}

}  // namespace

int32_t movie_sprite_draw_callback(void* renderer, uintptr_t sprite_id) {
  OrvSprite* s = sprite_from(static_cast<OrvHandle>(sprite_id));
  if (!s) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  if (!s->visible) return 1;
  auto* m = static_cast<MovieRecord*>(s->movie);
  if (m && m->player && m->state == kMovieStatePlaying) {
    movie_events(m);
    int32_t pitch = 0, rows = 0;
    uint32_t* pixels = image_pixels(s->image, &pitch, &rows);
    if (pixels && rows >= movie_player_height(m->player) &&
        pitch >= movie_player_width(m->player) && movie_player_take(m->player, pixels, pitch)) {
      image_mark_changed(s->image);
      m->seek_failures = 0;
    }
  }
  return sprite_draw_callback(renderer, sprite_id);
}

extern "C" {

OrvHandle OrvMSpriteLoad(OrvHandle list, const char* name, int32_t priority) {
  if (!render_list_from(list)) {
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  orv_render().release_movie = movie_record_release;
  orv_render().movie_sprite_draw = movie_sprite_draw_callback;
  MovieRecord* m = movie_record_create(name);
  if (!m) return 0;
  OrvSprite* s = sprite_new(priority);
  if (!s) {
    movie_record_release(m);
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  s->image = image_create(m->width, m->height, name);
  if (!s->image) {
    movie_record_release(m);
    sprite_discard(s);
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  // Black and opaque until the first picture arrives.
  int32_t pitch = 0, rows = 0;
  if (uint32_t* px = image_pixels(s->image, &pitch, &rows)) {
    for (int64_t i = 0, n = int64_t(pitch) * rows; i < n; ++i) px[i] = 0xFF000000u;
  }
  std::strncpy(s->name, name, sizeof s->name - 1);
  s->visible = 0;
  s->color = 0xFFFFFFFFu;
  s->width = s->cell_width = m->width;
  s->height = s->cell_height = m->height;
  s->rect = OrvRect{0, 0, m->width, m->height};
  s->render_mode = 1;
  s->movie = m;
  s->list = list;
  s->node = OrvRenderInsert(list, s->id, movie_sprite_draw_callback, priority);
  if (!s->node) {
    s->movie = nullptr;
    movie_record_release(m);
    sprite_discard(s);
    orv_set_last_error(kErrorInvalidHandle);
    return 0;
  }
  return s->id;
}

OrvHandle OrvMSpriteInfoCreate(const char* name, int32_t width, int32_t height, int32_t priority) {
  if (!name) return OrvSpriteInfoCreate(nullptr, width, height, priority);
  MovieRecord* m = movie_record_create(name);
  if (!m) return 0;
  OrvHandle id = OrvSpriteInfoCreate(nullptr, m->width, m->height, priority);
  OrvSprite* s = sprite_from(id);
  if (!s) {
    movie_record_release(m);
    return 0;
  }
  s->width = s->cell_width = m->width;
  s->height = s->cell_height = m->height;
  s->rect = OrvRect{0, 0, m->width, m->height};
  movie_record_release(m);
  return id;
}

OrvBool OrvMSpritePlay(OrvHandle sprite, int32_t loop) {
  MovieRecord* m = movie_of(sprite);
  if (!m) return 0;
  m->loop = loop;
  if (movie_play(m)) return 1;
  movie_stop(m);
  return movie_play(m) ? 1 : 0;
}

OrvBool OrvMSpriteStop(OrvHandle sprite) {
  MovieRecord* m = movie_of(sprite);
  if (!m) return 0;
  movie_stop(m);
  return 1;
}

OrvBool OrvMSpritePause(OrvHandle sprite) {
  return movie_of(sprite) ? 1 : 0;
}

OrvBool OrvMSpriteSetLoop(OrvHandle sprite, int32_t loop) {
  MovieRecord* m = movie_of(sprite);
  if (!m) return 0;
  m->loop = loop;
  return 1;
}

OrvBool OrvMSpriteSetLoopPoint(OrvHandle sprite, uint32_t start_ms, uint32_t end_ms) {
  MovieRecord* m = movie_of(sprite);
  if (!m) return 0;
  m->loop_start = start_ms;
  if (end_ms != 0) m->loop_end = end_ms;
  return 1;
}

int32_t OrvMSpriteIsLoop(OrvHandle sprite) {
  MovieRecord* m = movie_of(sprite);
  return m ? int32_t(m->state & 0x80000000u) : 0;
}

int32_t OrvMSpriteGetState(OrvHandle sprite) {
  MovieRecord* m = movie_of(sprite);
  return m ? int32_t(m->state) : 0;
}

OrvBool OrvMSpriteLock(OrvHandle sprite) {
  MovieRecord* m = movie_of(sprite);
  if (!m) return 0;
  m->frame_lock = 1;
  return 1;
}

OrvBool OrvMSpriteUnlock(OrvHandle sprite) {
  MovieRecord* m = movie_of(sprite);
  if (!m) return 0;
  m->frame_lock = 0;
  return 1;
}

OrvBool OrvMSpriteCheck(OrvHandle sprite) {
  return movie_of(sprite) ? 1 : 0;
}

OrvBool OrvMSpriteSetVolume(OrvHandle sprite, int32_t volume) {
  MovieRecord* m = movie_of(sprite);
  if (!m || !m->sound) return 0;
  const SoundRecord& sound = sound_record();
  movie_player_set_volume(m->player,
                          sound_decibels(sound.type_volume[4] * volume / 100, sound.master_volume));
  return 1;
}

OrvBool OrvMSpriteSetVolumeEx(OrvHandle sprite, int32_t volume) {
  MovieRecord* m = movie_of(sprite);
  if (!m || !m->sound) return 0;
  movie_player_set_volume(m->player, sound_decibels(volume * 100, sound_record().master_volume));
  return 1;
}

}  // extern "C"
