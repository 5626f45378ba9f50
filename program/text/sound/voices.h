// Voices: the eight line-voice slots and the system-voice slot of SoundState, how a voice (one
// file or a .mix list of several) is loaded and started, the rules that decide whether a line's
// voice plays, the per-character volume, the waits on voices and the queries the text window and
// the wait commands ask.
//
// A playing line voice lowers the music (the music's auto volume, music.h); the frame update
// gives it back once no line voice plays (sound_frame.h).
//
// Voice play flags (voice_play and voice_play_core):
//   0x1 loop, 0x2 wait (the slot's bit joins the voice wait mask), 0x4 fade in over `fade` ms,
//   0x8 voice_play only: play even while skipping, 0x40 no per-character volume, 0x80 no
//   autopan, 0x100 leave the music's volume alone.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstdint>
#include <string>

#include "engine/command_list.h"
#include "engine/vm_context.h"

namespace engine {

constexpr uint32_t kVoiceLoop = 0x1;
constexpr uint32_t kVoiceWait = 0x2;
constexpr uint32_t kVoiceFadeIn = 0x4;
constexpr uint32_t kVoiceIgnoreSkip = 0x8;
constexpr uint32_t kVoiceNoCharVolume = 0x40;
constexpr uint32_t kVoiceNoAutopan = 0x80;
constexpr uint32_t kVoiceNoBgmAuto = 0x100;

constexpr int32_t kSystemVoiceSlot = 8;
constexpr int32_t kLineVoiceSlots = 8;

// The prefix rule: voices whose names begin with these bytes play only when the file
// kVoicePrefixProbe (".ogg" or ".wav") was found at start-up.
constexpr char kVoicePrefix[] = "VO_ZELKOVARIN";
constexpr char kVoicePrefixProbe[] = "VO_ZELKOVARIN0001";

// Results of voice_play_core.
constexpr int32_t kVoiceNotPlayed = 0;  // no name, a failed load, a prefix voice while skipping
constexpr int32_t kVoiceSkipped = 1;    // skipping: nothing loaded
constexpr int32_t kVoicePlayed = 2;

// Loads and starts `name` (no extension) on `slot` (0..8), or, when "<name>.mix" exists, the
// voices it lists together on slots 0-7 whatever the slot (the line voices playing before are
// ended first). check_skip: while the player skips, nothing is loaded (1; a prefix-rule voice
// whose file is absent gives 0). A voice file that does not load is silent; it is reported
// ("voice file read : %s", key 0) only while the voice check is on.
int32_t voice_play_core(VmContext& vm, int32_t slot, const std::string& name, uint32_t flags,
                        int32_t fade, bool check_skip);

// voice_play_core without its skip test and without starting anything, for the work thread:
// loads `name` (as a line voice, whatever the slot) or its mix list into the slots, dressed,
// named and with their wait bits, lowering the music and pausing the keyed background voices
// as a play would. Never runs script code: the caller ends the voice calls before. Returns
// kVoicePlayed, or kVoiceNotPlayed when a single voice did not load.
int32_t voice_load_job(VmContext& vm, int32_t slot, const std::string& name, uint32_t flags);

// The channel volume (0..10000) a voice named `name` gets: 10000 unless the ex-volume switch is
// on and the name looks like a character's voice ("vo", any case, then a byte 0x30..0x7F, at
// least four bytes); then the first used VoiceInfo whose prefix starts the name (any case), or
// the default record: its volume x 100 when enabled, else 0.
int32_t voice_channel_volume(const SoundState& s, const std::string& name);

// Whether a line's voice plays under the per-character table: the first used record whose
// prefix starts the name decides (enabled and volume above 0); without one, the default record
// must be used, enabled and above 0.
bool voice_info_allows(const SoundState& s, const std::string& name);

// What became of a line's voice.
enum class LineVoice {
  kNone,    // no voice: none given, a prefix-rule voice without its file, or a failed load
  kSilent,  // the character's VoiceInfo keeps it silent; the line still names its voice
  kPlays,   // playing on slot 0 (or passed over while skipping)
};

// A line's voice: plays `name` on slot 0 when the rules allow, after ending the voice calls and
// the line voices before. With no voice and voice cut on, the line voices playing before stop;
// a silenced character leaves them alone. `name` empty: the line has no voice.
LineVoice line_voice_play(VmContext& vm, const std::string& name);

// Ends the voice calls, releases slots 0-7 and empties them; the background voices paused for
// them resume.
void line_voices_clear(VmContext& vm);

// Releases and empties every voice slot and background-voice slot (enabled set back to 1),
// clears the voice wait mask and the autopan table (reset of the script machine, shutdown).
void voice_release_all(VmContext& vm);
// Start-up: looks for the prefix-rule file and enables the background-voice slots.
void voice_system_init(VmContext& vm);

// True when one of slots 0-7 plays.
bool voice_any_playing(VmContext& vm);
// True when the master and voice categories are audible and a voice of slots 0-7 has a channel
// volume above 0.
bool voice_audible(VmContext& vm);
// A line voice plays that nobody hears (auto mode need not wait for it).
bool voice_playing_muted(VmContext& vm);

// The running voice waits: each waited slot whose voice still plays is faded out over 1000 ms
// on a skip or an advance input (Space, Enter, left button), and a slot whose voice has ended
// is emptied; the calling command then runs again next frame until no wait is left. Returns
// false when no voice wait is pending, else true (the caller returns at once).
bool voice_wait_poll(VmContext& vm);

// The voice-check word of the game state: set, missing voice files are reported.
uint32_t& voice_check_word(VmContext& vm);

// The voice commands of group 0x0d.
extern const CommandList voice_commands;

}  // namespace engine
