// SoundState: the game's record of every sound the script started, with the volumes and
// switches of the sound categories and the per-character and per-name tables.
//
// The sounds themselves belong to the platform library: a record keeps the SoundHandle a load
// returned (0: no sound) and every play, fade, pause and release goes through the OrvSound...
// entries. The record lives in the VmContext and is zero at start.
//
// Records marked "stored" are written into save data or system.dat field by field; their
// offsets are fixed by those files. Names inside them are zero-padded and, coming from files,
// may lack a terminator: read them within their bytes.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>

#include "orv/sound_types.h"

namespace engine {

// Platform sound types, used as the sound categories.
constexpr int32_t kSoundTypeVoice = 1;
constexpr int32_t kSoundTypeBgv = 2;
constexpr int32_t kSoundTypeBgm = 3;
constexpr int32_t kSoundTypeSe1 = 4;
constexpr int32_t kSoundTypeSe0 = 5;
constexpr int32_t kSoundTypeSe2 = 6;
constexpr int32_t kSoundTypeSystemVoice = 7;

// Indices of SoundState::volumes and ::switches (the in-memory order).
enum SoundCategory : int {
  kCatMaster = 0,
  kCatBgm = 1,
  kCatVoice = 2,
  kCatBgv = 3,
  kCatSe0 = 4,
  kCatSe1 = 5,
  kCatSe2 = 6,
  kCatSystemVoice = 7,
};

// A sound effect channel (stored, 64 bytes).
struct SeChannel {
  OrvSoundHandle sound;
  uint32_t file;   // file operand: a File.dat index, or with bit 28 a string-slot reference
  uint32_t flags;  // low 16 bits play flags; 0x20000000 reserved
  uint32_t type;   // SE type 0..2
  uint8_t reserved[12];
  int32_t pan;
  char name[32];  // the resolved name of a string-slot file operand
};
static_assert(sizeof(SeChannel) == 64);

// A music channel (stored, 92 bytes).
struct BgmChannel {
  OrvSoundHandle sound;
  uint32_t file;   // file operand as for SeChannel; 0 no music
  uint32_t flags;  // low bits play flags (0x1 loop, 0x4 fade in, 0x10 loop points); see below
  int32_t volume;  // 0..100; while a fade runs, its start volume
  uint8_t reserved[16];
  char name[32];  // the resolved name of a string-slot file operand
  BgmLoopPoints points;
  int32_t fadeDelta;      // target volume minus start volume
  uint32_t fadeDuration;  // ms
  uint32_t fadeStart;     // OrvtimeGetTime ms
};
static_assert(sizeof(BgmChannel) == 92);
constexpr uint32_t kBgmLoop = 0x1;
constexpr uint32_t kBgmFadeIn = 0x4;
constexpr uint32_t kBgmLoopPoints = 0x10;
constexpr uint32_t kBgmPaused = 0x10000000;
constexpr uint32_t kBgmReserved = 0x20000000;
constexpr uint32_t kBgmFading = 0x40020000;  // both bits together

// A voice slot's autopan state.
struct AutopanBinding {
  int32_t value;   // image_table index or pan level
  uint32_t fixed;  // 1: value is a pan level 0..20
  int32_t lastPan;
  uint32_t state;  // 2 bound, 0 none
};

// A line voice (slots 0-7) or the system voice (slot 8).
struct VoiceSlot {
  OrvSoundHandle sound;
  char name[32];
  AutopanBinding autopan;
};

// A background voice (stored, 92 bytes).
struct BgvSlot {
  OrvSoundHandle sound;
  uint32_t file;
  uint32_t flags;  // 0x1 loop, 0x4 fade in
  uint8_t reserved[36];
  uint32_t enabled;
  uint32_t paused;
  uint32_t hasKey;
  char key[32];
};
static_assert(sizeof(BgvSlot) == 92);

// A voice pan binding by file-name prefix (stored, 40 bytes).
struct AutopanEntry {
  int32_t value;
  uint32_t fixed;
  char key[32];  // empty: a free entry
};
static_assert(sizeof(AutopanEntry) == 40);

// Per-character voice switch and volume by file-name prefix (stored, 44 bytes).
struct VoiceInfo {
  uint32_t used;
  uint32_t enabled;
  uint32_t volume;  // 0..100
  char prefix[32];
};
static_assert(sizeof(VoiceInfo) == 44);

// Labels run when a named voice starts or ends.
struct VoiceCallEntry {
  uint32_t armed;  // 1 from the start of the matching voice until voice_call_end runs the end
  uint32_t start;  // code offsets, 0 none
  uint32_t end;
  char name[32];
};

// Volume by sound-effect file-name prefix (stored, 44 bytes).
struct SeInfo {
  uint32_t used;
  uint32_t enabled;
  uint32_t volume;
  char prefix[32];
};
static_assert(sizeof(SeInfo) == 44);

// Per-channel effect volume and frequency (stored, 12 bytes).
struct SeChannelOverride {
  uint32_t flags;  // 0x1 volume on, 0x2 frequency on
  uint32_t volume;
  uint32_t frequency;
};
static_assert(sizeof(SeChannelOverride) == 12);

struct BgmAutoVolume {
  uint32_t on;
  uint32_t factor;  // percent of the BGM volume while a line voice plays
  uint32_t keep;    // 0: the BGM is silent while a line voice plays
};

struct SoundState {
  void* lpSeView;
  void* lpBgmView;
  void* lpBgvView;
  uint32_t dwVoiceWaitMask;
  uint32_t dwBlockingSe;  // SE channel + 1 a blocking wait waits for, 0 none
  int32_t nPendingSePan;
  SeChannel se[16];
  BgmChannel bgm[2];
  VoiceSlot voice[9];
  BgvSlot bgv[8];
  AutopanEntry autopan[16];
  int32_t volumes[8];    // 0..10000, indexed by SoundCategory
  uint32_t switches[8];  // 1 on, 0 muted
  VoiceCallEntry voiceCalls[8];
  BgmAutoVolume bgmAuto;
  uint32_t bVoiceCut;
  uint32_t bVoiceExVolume;
  VoiceInfo voiceInfo[64];
  VoiceInfo defaultVoiceInfo;
  uint32_t bAutopan;
  int32_t nAutopanRange;  // pan range x 100
  SeInfo seInfo[4];
  SeChannelOverride seOverrides[16];
  // Beside the stored parts: whether the file of the voice prefix rule was found at start-up
  // (voices.h), and set while a line voice loads on the work thread, which keeps the frame
  // update away from the voice and background-voice slots.
  uint32_t bVoicePrefixPresent;
  uint32_t bVoiceUpdateSuspended;
};

}  // namespace engine
