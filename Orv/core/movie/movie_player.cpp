#include "Orv/core/movie/movie_player.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <new>
#include <thread>
#include <vector>

#include "Orv/core/movie/movie_file_stream.h"
#include "Orv/core/sound/sound_system.h"
#include "platform/clock.h"
#include "platform/mixer.h"

namespace {

constexpr size_t kQueuePictures = 6;
constexpr uint32_t kRingFrames = platform::kMixRate * 2;   // two seconds of sound
constexpr uint32_t kGuardFrames = platform::kMixRate / 2;  // silence kept ahead of the sound

struct Picture {
  std::vector<uint32_t> pixels;
  int64_t ms = 0;
};

}  // namespace

struct MoviePlayer {
  MovieFileStream stream;
  platform::MovieDecoder* decoder = nullptr;
  platform::MovieStreams streams;
  int32_t width = 0, height = 0;

  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Picture> queue;
  std::vector<std::vector<uint32_t>> spare;
  bool quit = false, ended = false, failed = false, taken_any = false;
  int64_t seek_request = -1;
  int64_t last_decoded_ms = -1;
  int64_t stop_ms = 0;

  // The clock.
  bool running = false;
  int64_t base_ms = 0;
  int64_t run_accum_ms = 0;  // without sound: time run since the base
  uint32_t run_since = 0;

  // The sound stream.
  platform::Mixer* mixer = nullptr;
  platform::MixBuffer* ring = nullptr;
  uint64_t written = 0, played = 0, zeroed_to = 0;
  uint32_t last_cursor = 0;

  std::thread thread;
};

namespace {

// Every open player, so that shutdown can stop them before the mixer goes.
struct PlayerList {
  std::mutex mutex;
  std::vector<MoviePlayer*> players;
};
PlayerList& player_list() {
  static PlayerList list;
  return list;
}

void stop_thread(MoviePlayer* p) {
  if (!p->thread.joinable()) return;
  {
    std::lock_guard<std::mutex> guard(p->mutex);
    p->quit = true;
  }
  p->wake.notify_all();
  p->thread.join();
}

void update_played(MoviePlayer* p) {
  if (!p->ring) return;
  uint32_t cursor = 0, write = 0;
  if (!p->mixer->get_position(p->ring, &cursor, &write)) return;
  cursor /= 4;
  const uint32_t delta = (cursor + kRingFrames - p->last_cursor) % kRingFrames;
  p->played += delta;
  p->last_cursor = cursor;
  if (p->played > p->written) {  // the sound ran dry: go on from where it plays
    p->written = p->played;
    p->zeroed_to = std::max(p->zeroed_to, p->played);
  }
}

int64_t position_locked(MoviePlayer* p) {
  if (p->ring) {
    update_played(p);
    return p->base_ms + int64_t(p->played * 1000 / platform::kMixRate);
  }
  int64_t run = p->run_accum_ms;
  if (p->running) run += uint32_t(platform::time_ms() - p->run_since);
  return p->base_ms + run;
}

// Copies frames (or zeros when `samples` is null) into the ring from frame `at`.
void ring_write(MoviePlayer* p, uint64_t at, const int16_t* samples, uint32_t frames) {
  while (frames > 0) {
    const uint32_t offset = uint32_t(at % kRingFrames);
    const uint32_t n = std::min(frames, kRingFrames - offset);
    platform::LockedRegion region;
    if (p->mixer->lock(p->ring, offset * 4, n * 4, &region)) {
      if (samples) {
        std::memcpy(region.part1, samples, region.bytes1);
      } else {
        std::memset(region.part1, 0, region.bytes1);
      }
      p->mixer->unlock(p->ring, region);
    }
    if (samples) samples += size_t(n) * 2;
    at += n;
    frames -= n;
  }
}

// Writes decoded sound, waiting for room while the ring is full. Returns early on a seek or
// the end of the player.
void write_sound(MoviePlayer* p, std::unique_lock<std::mutex>& lock, const int16_t* samples,
                 uint32_t frames) {
  while (frames > 0 && !p->quit && p->seek_request < 0) {
    update_played(p);
    const uint64_t ahead = p->written - p->played;
    const uint64_t room =
        kRingFrames - kGuardFrames > ahead ? kRingFrames - kGuardFrames - ahead : 0;
    if (room == 0) {
      p->wake.wait_for(lock, std::chrono::milliseconds(5));
      continue;
    }
    const uint32_t n = uint32_t(std::min<uint64_t>(frames, room));
    ring_write(p, p->written, samples, n);
    p->written += n;
    if (samples) samples += size_t(n) * 2;
    frames -= n;
    // Keep silence ahead, so that a late decoder is heard as a gap, never as old sound.
    const uint64_t guard_end = p->written + kGuardFrames;
    if (p->zeroed_to < p->written) p->zeroed_to = p->written;
    if (guard_end > p->zeroed_to) {
      ring_write(p, p->zeroed_to, nullptr, uint32_t(guard_end - p->zeroed_to));
      p->zeroed_to = guard_end;
    }
  }
}

void reset_ring(MoviePlayer* p) {
  if (!p->ring) return;
  p->mixer->stop(p->ring);
  p->mixer->set_position(p->ring, 0);
  ring_write(p, 0, nullptr, kRingFrames);
  p->written = p->played = p->zeroed_to = 0;
  p->last_cursor = 0;
  if (p->running) p->mixer->play(p->ring, true);
}

void decode_loop(MoviePlayer* p) {
  std::vector<uint32_t> scratch(size_t(p->width) * size_t(p->height));
  std::vector<int16_t> sound;
  std::unique_lock<std::mutex> lock(p->mutex);
  while (!p->quit) {
    if (p->seek_request >= 0) {
      const int64_t target = p->seek_request;
      p->seek_request = -1;
      lock.unlock();
      const bool ok = platform::movie_decoder_seek(p->decoder, target);
      lock.lock();
      if (!ok && p->seek_request < 0) p->failed = p->ended = true;
      p->wake.notify_all();
      continue;
    }
    if (p->ended) {
      // Sound goes on as silence so that the clock keeps running to the last picture.
      if (p->ring) write_sound(p, lock, nullptr, platform::kMixRate / 10);
      if (!p->quit && p->seek_request < 0) p->wake.wait_for(lock, std::chrono::milliseconds(10));
      continue;
    }
    if (p->queue.size() >= kQueuePictures) {
      p->wake.wait_for(lock, std::chrono::milliseconds(10));
      continue;
    }
    lock.unlock();
    sound.clear();
    int64_t ms = 0;
    const platform::MovieStep step =
        platform::movie_decoder_step(p->decoder, p->width, p->height, scratch.data(), &sound, &ms);
    lock.lock();
    if (p->seek_request >= 0) continue;  // decoded before the seek: not wanted
    switch (step) {
      case platform::MovieStep::kVideo: {
        Picture picture;
        if (!p->spare.empty()) {
          picture.pixels = std::move(p->spare.back());
          p->spare.pop_back();
        }
        picture.pixels.assign(scratch.begin(), scratch.end());
        picture.ms = ms;
        p->queue.push_back(std::move(picture));
        p->last_decoded_ms = ms;
        p->wake.notify_all();
        break;
      }
      case platform::MovieStep::kAudio:
        if (p->ring) write_sound(p, lock, sound.data(), uint32_t(sound.size() / 2));
        break;
      case platform::MovieStep::kDropped:
        break;
      case platform::MovieStep::kEnd:
        p->ended = true;
        p->wake.notify_all();
        break;
      case platform::MovieStep::kError:
        p->ended = p->failed = true;
        p->wake.notify_all();
        break;
    }
  }
}

void fit_size(int32_t vw, int32_t vh, int32_t w, int32_t h, int32_t* ow, int32_t* oh) {
  // The largest size of the video's shape inside w x h.
  if (int64_t(w) * vh <= int64_t(h) * vw) {
    *ow = w;
    *oh = int32_t(std::max<int64_t>(1, int64_t(w) * vh / vw));
  } else {
    *oh = h;
    *ow = int32_t(std::max<int64_t>(1, int64_t(h) * vw / vh));
  }
}

}  // namespace

MoviePlayer* movie_player_open(const char* name, const MoviePlayerOptions& options,
                               std::string* error) {
  auto* p = new (std::nothrow) MoviePlayer;
  if (!p) return nullptr;
  auto fail = [&](const std::string& why) -> MoviePlayer* {
    if (error) *error = why;
    movie_player_close(p);
    return nullptr;
  };
  if (!movie_stream_open(&p->stream, name)) return fail(kMovieNotFound);
  std::string why;
  p->decoder = platform::movie_decoder_open(movie_stream_source(&p->stream), options.container,
                                            &p->streams, &why);
  if (!p->decoder) return fail(why);
  if (options.require_audio && !p->streams.audio) return fail("no sound stream");
  p->width = p->streams.width;
  p->height = p->streams.height;
  if (options.width > 0 && options.height > 0) {
    if (options.fit) {
      fit_size(p->streams.width, p->streams.height, options.width, options.height, &p->width,
               &p->height);
    } else {
      p->width = options.width;
      p->height = options.height;
    }
  }
  if (p->streams.audio) {
    p->mixer = sound_mixer();
    platform::WaveFormat format;  // 44,100 Hz stereo 16-bit
    if (p->mixer) p->ring = p->mixer->create_buffer(format, kRingFrames * 4);
    if (p->ring) p->mixer->set_volume(p->ring, options.volume);
  }
  try {
    p->thread = std::thread(decode_loop, p);
  } catch (...) {
    return fail("no thread");
  }
  std::lock_guard<std::mutex> guard(player_list().mutex);
  player_list().players.push_back(p);
  return p;
}

void movie_player_close(MoviePlayer* p) {
  if (!p) return;
  {
    PlayerList& list = player_list();
    std::lock_guard<std::mutex> guard(list.mutex);
    list.players.erase(std::remove(list.players.begin(), list.players.end(), p),
                       list.players.end());
  }
  stop_thread(p);
  if (p->ring) p->mixer->release_buffer(p->ring);
  platform::movie_decoder_close(p->decoder);
  movie_stream_close(&p->stream);
  delete p;
}

const platform::MovieStreams& movie_player_streams(const MoviePlayer* p) {
  return p->streams;
}
int32_t movie_player_width(const MoviePlayer* p) {
  return p->width;
}
int32_t movie_player_height(const MoviePlayer* p) {
  return p->height;
}

void movie_player_run(MoviePlayer* p) {
  std::lock_guard<std::mutex> guard(p->mutex);
  if (p->running) return;
  p->running = true;
  p->run_since = platform::time_ms();
  if (p->ring) p->mixer->play(p->ring, true);
}

void movie_player_pause(MoviePlayer* p) {
  std::lock_guard<std::mutex> guard(p->mutex);
  if (!p->running) return;
  if (p->ring) {
    update_played(p);
    p->mixer->stop(p->ring);
  } else {
    p->run_accum_ms += uint32_t(platform::time_ms() - p->run_since);
  }
  p->running = false;
}

bool movie_player_running(const MoviePlayer* p) {
  auto* q = const_cast<MoviePlayer*>(p);
  std::lock_guard<std::mutex> guard(q->mutex);
  return q->running;
}

void movie_player_seek(MoviePlayer* p, int64_t ms) {
  {
    std::lock_guard<std::mutex> guard(p->mutex);
    if (ms < 0) ms = 0;
    for (Picture& picture : p->queue) p->spare.push_back(std::move(picture.pixels));
    p->queue.clear();
    p->seek_request = ms;
    p->ended = p->failed = p->taken_any = false;
    p->last_decoded_ms = -1;
    p->base_ms = ms;
    p->run_accum_ms = 0;
    p->run_since = platform::time_ms();
    reset_ring(p);
  }
  p->wake.notify_all();
}

void movie_player_set_stop(MoviePlayer* p, int64_t ms) {
  std::lock_guard<std::mutex> guard(p->mutex);
  p->stop_ms = ms;
}

int64_t movie_player_position(MoviePlayer* p) {
  std::lock_guard<std::mutex> guard(p->mutex);
  return position_locked(p);
}

void movie_player_set_volume(MoviePlayer* p, int32_t hundredths_db) {
  std::lock_guard<std::mutex> guard(p->mutex);
  if (p->ring) p->mixer->set_volume(p->ring, hundredths_db);
}

bool movie_player_take(MoviePlayer* p, uint32_t* pixels, int32_t pitch) {
  std::unique_lock<std::mutex> lock(p->mutex);
  const int64_t now = position_locked(p);
  size_t due = 0;
  while (due < p->queue.size() && p->queue[due].ms <= now) ++due;
  // The first picture after an open or a seek shows at once, never a blank image.
  if (due == 0 && !p->taken_any && !p->queue.empty()) due = 1;
  if (due == 0) return false;
  const Picture& picture = p->queue[due - 1];
  for (int32_t y = 0; y < p->height; ++y) {
    std::memcpy(pixels + int64_t(y) * pitch, picture.pixels.data() + int64_t(y) * p->width,
                size_t(p->width) * 4);
  }
  for (size_t i = 0; i < due; ++i) {
    p->spare.push_back(std::move(p->queue.front().pixels));
    p->queue.pop_front();
  }
  p->taken_any = true;
  lock.unlock();
  p->wake.notify_all();
  return true;
}

MovieEvent movie_player_event(MoviePlayer* p) {
  std::lock_guard<std::mutex> guard(p->mutex);
  if (p->seek_request >= 0) return MovieEvent::kNone;
  if (p->failed) return MovieEvent::kError;
  if (p->stop_ms > 0 && position_locked(p) >= p->stop_ms) return MovieEvent::kComplete;
  if (p->ended && p->queue.empty()) return MovieEvent::kComplete;
  return MovieEvent::kNone;
}

void movie_players_stop_all() {
  PlayerList& list = player_list();
  std::lock_guard<std::mutex> guard(list.mutex);
  for (MoviePlayer* p : list.players) {
    stop_thread(p);
    std::lock_guard<std::mutex> player_guard(p->mutex);
    if (p->ring) p->mixer->release_buffer(p->ring);
    p->ring = nullptr;
    p->ended = true;
  }
}

bool movie_player_wait_decoded(MoviePlayer* p, int64_t ms) {
  std::unique_lock<std::mutex> lock(p->mutex);
  auto past = [&] { return p->seek_request < 0 && (p->ended || p->last_decoded_ms > ms); };
  p->wake.wait_for(lock, std::chrono::seconds(10),
                   [&] { return past() || p->queue.size() >= kQueuePictures; });
  return past();
}

int32_t movie_player_volume(MoviePlayer* p) {
  std::lock_guard<std::mutex> guard(p->mutex);
  return p->ring ? p->mixer->volume(p->ring) : platform::kVolumeMin;
}
