// The sound channels and the sound state of the core record.
//
// 124 channels in seven groups. A SoundHandle names a channel: group in the top four bits,
// index below. Groups 2 (music) and 1 (VerEpeg streams) play through streaming buffers that
// live for the whole run; every other channel gets a static buffer from its loader.
//
// Locking: the sound lock guards the command words, fade fields, loop flag and completion
// code; the sound thread holds it for its whole pass. The queuing operations poll the command
// word without it, so it is atomic.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "orv/sound_types.h"
#include "platform/mixer.h"
#include "platform/sync.h"

struct SoundSource;  // Orv/core/sound/sound_source.h

// Command words of a channel.
enum SoundCommand : int32_t {
  kCmdLoaded = 0,
  kCmdStop = 3,
  kCmdRelease = 4,
  kCmdDone = 5,
  kCmdPlay = 6,
  kCmdStopFade = 7,
  kCmdPause = 9,
  kCmdResume = 10,
};
// Completion code after a play (the other commands report their own number).
constexpr int32_t kCompletePlay = 2;

enum SoundFade : int32_t { kFadeNone = 0, kFadeIn = 1, kFadeOut = 2 };

constexpr uint32_t kStreamBufferBytes = 352800;  // two seconds of 44,100 Hz stereo 16-bit
constexpr uint32_t kStreamHalfBytes = kStreamBufferBytes / 2;
constexpr int kSoundTypes = 8;
constexpr int kSoundGroups = 8;  // groups 1-7; 0 unused
constexpr int kSoundChannels = 124;

struct SoundChannel {
  platform::MixBuffer* buffer = nullptr;
  SoundSource* source = nullptr;
  int32_t playing = 0;
  int32_t reserved = 0;
  int32_t loop = 0;
  int32_t loaded = 0;
  int32_t ogg = 0;
  int32_t ended = 0;
  int32_t paused = 0;
  uint32_t start = 0;
  uint32_t loop_pos = 0;
  uint32_t end = 0;
  uint32_t read_pos = 0;
  uint32_t buffer_bytes = 0;
  std::atomic<int32_t> command{kCmdLoaded};
  int32_t type = 0;
  int32_t fade_kind = kFadeNone;
  uint32_t fade_start = 0;
  int32_t fade_time = 0;
  int32_t volume = 0;
  char file_name[32] = {};
  uint32_t play_pos = 0;
  uint32_t prev_cursor = 0;
  float gain = 0.0f;
  uint32_t data_offset = 0;
};

// Where a group lies in the channel table and how many channels it has.
struct SoundGroup {
  int first;
  int count;
};
// Indexed by group number 1-7 (entry 0 is empty).
extern const SoundGroup kSoundGroupTable[kSoundGroups];

struct SoundRecord;
// What a streaming buffer's notification tells the sound thread.
struct SoundNotifyTag {
  SoundRecord* record;
  uint32_t stream;  // 0-1 music channels, 2-3 group-1 channels
};

struct SoundRecord {
  // A process that ends without OrvUninit still stops the sound thread before the record goes.
  ~SoundRecord() {
    if (thread.joinable()) {
      quit = true;
      wake.set();
      thread.join();
    }
  }

  std::unique_ptr<platform::Mixer> mixer;  // the "DirectSound object"
  std::atomic<bool> ready{false};
  int32_t video_volume_type = 0;
  std::recursive_mutex lock;  // the sound lock
  std::thread thread;
  std::atomic<bool> thread_running{false};
  std::atomic<bool> quit{false};
  platform::Event wake;  // notifications wake the sound thread before its 10 ms are up
  std::atomic<uint32_t> pending_events{0};  // bit stream*3 + (0: offset 0, 1: half, 2: stop)
  SoundNotifyTag notify_tags[4] = {};
  std::atomic<int32_t> completion{0};
  int32_t master_volume = 10000;
  int32_t type_volume[kSoundTypes] = {};
  float voice_speed = 0.0f;
  SoundChannel channels[kSoundChannels];
};

// The channel a handle names, or null: a group outside 1-7 or an index outside the group.
SoundChannel* sound_channel(OrvSoundHandle handle);
// The group number of a channel of the table (1-7).
int sound_channel_group(const SoundChannel* channel);
int sound_channel_index(const SoundChannel* channel);
inline OrvSoundHandle sound_handle(int group, int index) {
  return (uint32_t(group) << 28) | uint32_t(index);
}
// The group a sound type loads into: 4, 5, 6 their own, 3 the music group 2, 2 group 7, any
// other type group 3.
int sound_group_of_type(int32_t type);
