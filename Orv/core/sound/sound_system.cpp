// Sound start-up and shutdown, the sound thread and the step it gives every channel.
#include "Orv/core/sound/sound_system.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "Orv/core/error_report.h"
#include "Orv/core/sound/sound_source.h"
#include "Orv/core_record.h"
#include "orv/orv.h"
#include "platform/clock.h"
#include "platform/message_box.h"

const SoundGroup kSoundGroupTable[kSoundGroups] = {
    {0, 0}, {0, 2}, {18, 2}, {2, 16}, {28, 16}, {44, 64}, {108, 16}, {20, 8},
};

namespace {

// The order in which the sound thread steps the groups, and in which shutdown clears them.
constexpr int kStepOrder[] = {1, 2, 7, 3, 4, 5, 6};
constexpr int kShutdownOrder[] = {4, 5, 6, 2, 7, 3, 1};

constexpr uint32_t kWaitCountdown = 100000;

SoundChannel* stream_channel(uint32_t stream) {
  return sound_channel(stream < 2 ? sound_handle(2, int(stream))
                                  : sound_handle(1, int(stream - 2)));
}

// Zeroes a channel record field by field: other threads may be polling its command word.
void reset_channel(SoundChannel* c) {
  c->buffer = nullptr;
  c->source = nullptr;
  c->playing = c->reserved = c->loop = c->loaded = c->ogg = c->ended = c->paused = 0;
  c->start = c->loop_pos = c->end = c->read_pos = c->buffer_bytes = 0;
  c->command.store(kCmdLoaded);
  c->type = c->fade_kind = c->fade_time = c->volume = 0;
  c->fade_start = 0;
  std::memset(c->file_name, 0, sizeof c->file_name);
  c->play_pos = c->prev_cursor = 0;
  c->gain = 0.0f;
  c->data_offset = 0;
}

void on_notify(void* context, uint32_t index) {
  auto* tag = static_cast<SoundNotifyTag*>(context);
  tag->record->pending_events.fetch_or(1u << (tag->stream * 3 + index));
  tag->record->wake.set();
}

platform::WaveFormat stream_format() {
  return platform::WaveFormat{};
}

// What the sound thread does before it reports ready: the four streaming buffers with their
// notifications, the type volumes and the streamed channels' records.
bool start_streams(SoundRecord& r) {
  platform::Mixer* m = r.mixer.get();
  for (uint32_t s = 0; s < 4; ++s) {
    SoundChannel* c = stream_channel(s);
    c->buffer = m->create_buffer(stream_format(), kStreamBufferBytes);
    if (!c->buffer) return false;
    r.notify_tags[s] = SoundNotifyTag{&r, s};
    const uint32_t offsets[3] = {0, kStreamHalfBytes, platform::kNotifyStop};
    if (!m->set_notifications(c->buffer, offsets, 3, &on_notify, &r.notify_tags[s])) return false;
  }
  for (int t = 0; t < 4; ++t) r.type_volume[t] = 10000;
  for (uint32_t s = 0; s < 4; ++s) {
    SoundChannel* c = stream_channel(s);
    c->buffer_bytes = kStreamBufferBytes;
    c->volume = r.type_volume[s < 2 ? 3 : 0];
    c->command = kCmdDone;
    m->stop(c->buffer);
  }
  r.ready = true;
  return true;
}

void thread_main(SoundRecord& r) {
  while (!r.quit.load()) {
    r.wake.wait(10);
    if (r.quit.load()) break;
    sound_pass();
  }
}

void do_play(SoundRecord& r, SoundChannel* c, bool with_fade) {
  platform::Mixer* m = r.mixer.get();
  c->paused = 0;  // playing again ends a pause
  const bool music = sound_channel_is_music(c);
  const bool group1 = sound_channel_group(c) == 1;
  if (music || group1) {
    // Start the stream afresh: stopped, with no refill left over from what it played before,
    // so that starting at offset 0 asks for the second half and the halves go in order.
    m->stop(c->buffer);
    const uint32_t stream = uint32_t(sound_channel_index(c)) + (music ? 0u : 2u);
    r.pending_events.fetch_and(~(7u << (stream * 3)));
  }
  m->set_position(c->buffer, 0);
  if (music || group1) {
    if (music) c->read_pos = c->start;
    sound_source_seek(c->source, c->read_pos);
    c->ended = 0;
    // Prefill: the first half now, the second when the offset-0 notification arrives.
    platform::LockedRegion region;
    if (m->lock(c->buffer, 0, kStreamHalfBytes, &region)) {
      std::memset(region.part1, 0, region.bytes1);
      sound_stream_read(c, region.part1, region.bytes1);
      // A short silence at the start keeps the jump from the old contents from clicking.
      std::fill(region.part1, region.part1 + std::min<uint32_t>(128, region.bytes1), 0);
      m->unlock(c->buffer, region);
    }
    if (music) {
      c->play_pos = c->start;
      c->prev_cursor = 0;
    }
  }
  m->play(c->buffer, c->loop || music || group1);
  if (with_fade) c->fade_start = OrvtimeGetTime();
  c->command = kCmdDone;
  c->playing = 1;
  r.completion = kCompletePlay;
}

void do_stop(SoundRecord& r, SoundChannel* c) {
  platform::Mixer* m = r.mixer.get();
  m->stop(c->buffer);
  if (sound_channel_is_music(c)) {
    m->set_position(c->buffer, 0);
    sound_channel_clear(c);  // silences both halves and closes the source
    c->loaded = 0;
    c->reserved = 0;
  } else if (sound_channel_group(c) == 1) {
    c->read_pos = c->loop_pos;
  }
  c->playing = 0;
  c->paused = 0;
  c->command = kCmdDone;
  int32_t expected = 0;
  r.completion.compare_exchange_strong(expected, kCmdStop);
}

void do_release(SoundRecord& r, SoundChannel* c) {
  sound_channel_clear(c);
  if (sound_channel_is_streamed(c)) {
    c->playing = 0;
    c->paused = 0;
    c->command = kCmdLoaded;
    c->loaded = 0;
    c->reserved = 0;
  } else {
    r.mixer->release_buffer(c->buffer);
    reset_channel(c);
  }
  r.completion = kCmdRelease;
}

void do_resume(SoundRecord& r, SoundChannel* c) {
  platform::Mixer* m = r.mixer.get();
  // A stream must go on looping through its buffer, whichever group it is in.
  m->play(c->buffer, c->loop || sound_channel_is_streamed(c));
  if (c->fade_kind == kFadeIn) {
    m->set_volume(c->buffer, platform::kVolumeMin);
    c->fade_start = OrvtimeGetTime();
  } else {
    sound_apply_level(c, sound_channel_level(c));
  }
  c->command = kCmdDone;
  r.completion = kCmdResume;
}

void step_channel(SoundRecord& r, SoundChannel* c) {
  if (!c->loaded) return;
  platform::Mixer* m = r.mixer.get();
  if (sound_channel_is_music(c) && c->playing) {
    uint32_t cursor = 0;
    m->get_position(c->buffer, &cursor, nullptr);
    const uint32_t moved = cursor >= c->prev_cursor ? cursor - c->prev_cursor
                                                    : c->buffer_bytes - c->prev_cursor + cursor;
    uint64_t position = uint64_t(c->play_pos) + moved;
    if (position >= c->end) position = c->loop ? position - (c->end - c->loop_pos) : c->end;
    c->play_pos = uint32_t(std::min<uint64_t>(position, c->end));
    c->prev_cursor = cursor;
  }
  const uint32_t now = OrvtimeGetTime();
  if (c->fade_kind != kFadeNone) {
    if (c->command == kCmdResume) {
      do_resume(r, c);
      return;
    }
    const uint32_t elapsed = now - c->fade_start;
    const int32_t level = sound_channel_level(c);
    const uint32_t fade_time = uint32_t(std::max(c->fade_time, 0));
    const float part = fade_time ? float(elapsed) / float(fade_time) : 1.0f;
    if (c->fade_kind == kFadeIn) {
      if (elapsed >= fade_time) {
        sound_apply_level(c, level);
        c->fade_kind = kFadeNone;
      } else {
        sound_apply_level(c, int32_t(part * float(level)));
      }
    } else if (elapsed >= fade_time) {
      c->fade_kind = kFadeNone;  // the buffer keeps the last ramp value
    } else {
      sound_apply_level(c, int32_t((1.0f - part) * float(level)));
    }
    return;
  }
  switch (c->command.load()) {
    case kCmdPlay:
      // A play is never held back by another command's completion code.
      c->fade_kind = kFadeIn;
      c->fade_start = now;
      m->set_volume(c->buffer, platform::kVolumeMin);
      do_play(r, c, true);
      break;
    case kCmdStopFade:
      c->fade_kind = kFadeOut;
      c->command = kCmdStop;
      c->fade_start = now;
      r.completion = kCmdStopFade;
      if (c->fade_time <= 0) {
        c->fade_kind = kFadeNone;
        do_stop(r, c);
      }
      break;
    case kCmdStop:
      do_stop(r, c);
      break;
    case kCmdRelease:
      do_release(r, c);
      break;
    case kCmdPause:
      m->stop(c->buffer);
      c->command = kCmdDone;
      r.completion = kCmdPause;
      break;
    case kCmdResume:
      do_resume(r, c);
      break;
    default:
      break;
  }
}

void handle_events(uint32_t bits) {
  for (uint32_t s = 0; s < 4; ++s) {
    SoundChannel* c = stream_channel(s);
    if ((bits & (1u << (s * 3))) && c->loaded) sound_stream_refill(c, 1);
    if ((bits & (1u << (s * 3 + 1))) && c->loaded) sound_stream_refill(c, 0);
    if ((bits & (1u << (s * 3 + 2))) && s < 2 && !c->paused) {
      // Only mark the channel idle when nothing is pending: a command written since the
      // stop must not be lost.
      const int32_t cmd = c->command.load();
      if (cmd == kCmdLoaded) c->command = kCmdDone;
    }
  }
}

void shutdown_channels(SoundRecord& r) {
  std::lock_guard<std::recursive_mutex> lock(r.lock);
  for (int g : kShutdownOrder) {
    const SoundGroup& group = kSoundGroupTable[g];
    for (int i = 0; i < group.count; ++i) {
      SoundChannel* c = &r.channels[group.first + i];
      if (c->loaded) sound_channel_clear(c);
      if (c->buffer) r.mixer->release_buffer(c->buffer);
      reset_channel(c);
    }
  }
}

}  // namespace

SoundRecord& sound_record() {
  return orv_core().sound;
}

platform::Mixer* sound_mixer() {
  return sound_record().mixer.get();
}

SoundChannel* sound_channel(OrvSoundHandle handle) {
  const uint32_t group = handle >> 28;
  const uint32_t index = handle & 0x0FFFFFFFu;
  if (group < 1 || group > 7 || index >= uint32_t(kSoundGroupTable[group].count)) return nullptr;
  return &sound_record().channels[kSoundGroupTable[group].first + int(index)];
}

int sound_channel_group(const SoundChannel* c) {
  const int at = int(c - sound_record().channels);
  for (int g = 1; g < kSoundGroups; ++g)
    if (at >= kSoundGroupTable[g].first &&
        at < kSoundGroupTable[g].first + kSoundGroupTable[g].count)
      return g;
  return 0;
}

int sound_channel_index(const SoundChannel* c) {
  const int g = sound_channel_group(c);
  return int(c - sound_record().channels) - kSoundGroupTable[g].first;
}

int sound_group_of_type(int32_t type) {
  switch (type) {
    case 4:
      return 4;
    case 5:
      return 5;
    case 6:
      return 6;
    case 3:
      return 2;
    case 2:
      return 7;
    default:
      return 3;
  }
}

void sound_pass() {
  SoundRecord& r = sound_record();
  if (!r.mixer) return;
  std::lock_guard<std::recursive_mutex> lock(r.lock);
  handle_events(r.pending_events.exchange(0));
  for (int g : kStepOrder) {
    const SoundGroup& group = kSoundGroupTable[g];
    for (int i = 0; i < group.count; ++i) step_channel(r, &r.channels[group.first + i]);
  }
}

void sound_window_active(bool active, uint32_t display_flags) {
  if (platform::Mixer* m = sound_mixer()) m->set_silent(!active && !(display_flags & 1));
}

void sound_queue_and_wait(SoundChannel* c, int32_t command) {
  SoundRecord& r = sound_record();
  {
    std::lock_guard<std::recursive_mutex> lock(r.lock);
    r.completion = 0;
    c->command = command;
  }
  if (!r.thread_running) return;
  r.wake.set();  // the caller waits for the answer: do not let it wait out the thread's 10 ms
  // Ends early when the sound thread is stopped meanwhile: nobody would take the command.
  for (uint32_t countdown = kWaitCountdown;
       c->command.load() == command && r.thread_running && --countdown > 0;)
    platform::sleep_ms(1);
}

bool sound_system_start(const SoundStartOptions& options) {
  SoundRecord& r = sound_record();
  if (r.mixer) return true;
  r.ready = false;
  r.video_volume_type = 0;
  r.master_volume = 10000;
  for (int t = 0; t < kSoundTypes; ++t) r.type_volume[t] = 0;
  for (SoundChannel& c : r.channels) reset_channel(&c);
  r.pending_events = 0;
  r.completion = 0;
  r.quit = false;
  r.mixer = std::make_unique<platform::Mixer>();
  if (options.output) r.mixer->open_output();
  const bool started = start_streams(r);
  if (started && options.thread) {
    r.thread = std::thread([&r] { thread_main(r); });
    r.thread_running = true;
  }
  if (!r.ready) {
    // "サウンドの初期化に失敗。"
    platform::message_box(
        "\x83\x54\x83\x45\x83\x93\x83\x68\x82\xcc\x8f\x89\x8a\xfa\x89\xbb\x82\xc9"
        "\x8e\xb8\x94\x73\x81\x42",
        "Sound Initialize Error", platform::kMbIconExclamation | platform::kMbTopMost);
    sound_system_destroy();
    return false;
  }
  // A quick check that the device makes buffers: one second of sound, made and released.
  platform::WaveFormat format;
  platform::MixBuffer* probe = r.mixer->create_buffer(format, 176400);
  if (!probe) error_report("Sound Test Error");
  r.mixer->release_buffer(probe);
  return true;
}

bool sound_system_create() {
  return sound_system_start(SoundStartOptions{});
}

void sound_system_destroy() {
  SoundRecord& r = sound_record();
  if (r.thread.joinable()) {
    r.quit = true;
    r.wake.set();
    r.thread.join();
  }
  r.thread_running = false;
  if (!r.mixer) return;
  r.mixer->close_output();
  shutdown_channels(r);
  r.mixer.reset();
  r.ready = false;
}
