// Voice autopan: a table of 16 bindings (SoundState::autopan) from a voice file-name prefix to a
// layer image or a fixed level; a voice whose name starts with a binding's key is placed in the
// stereo field where its layer stands, and follows it while the layer moves.
//
// Pan scale: R = SoundState::nAutopanRange (pan range x 100), W = the game's screen width.
// A position x < 0 gives -R, x > W gives +R, else x / W x 2R - R (float, truncated). A fixed
// level 0..20 sits at W / 20 x level (below 0 at -W/20, above 20 at W + W/20). A layer binding
// takes the sprite's x plus half its cell width.
//
// Thread: the thread that runs the script.
#pragma once

#include <cstddef>
#include <string>

#include "engine/vm_context.h"
#include "shared/byte_codec.h"

namespace engine {

constexpr size_t kAutopanEntryBytes = 40;
constexpr size_t kAutopanBlockBytes = 16 * kAutopanEntryBytes;

// The game's screen width in pixels.
int32_t game_screen_width();
// The position of fixed level `level` on a screen of width w.
int32_t autopan_level_x(int32_t level, int32_t w);
// The pan for a position x on a screen of width w with range r (both as stored).
int32_t autopan_pan_at(int32_t x, int32_t w, int32_t r);

// Binds slot `slot` to the first entry whose key (not empty) starts `name` (any case); without
// one the binding is cleared and the voice keeps the platform's pan.
void voice_autopan_find(SoundState& s, int32_t slot, const std::string& name);
// Gives the slot's sound the pan of its binding when it changed since the last time. A layer
// binding whose image index names no record, or whose record has no sprite, does nothing.
void voice_autopan_apply(SoundState& s, int32_t slot);

// The autopan table of save data: 16 entries of 40 bytes (value, fixed, 32-byte key).
void autopan_state_save(const SoundState& s, codec::ByteWriter& out);
// Reads the table back (keys are read within their 32 bytes); false when the bytes end early,
// the table is then empty.
bool autopan_state_restore(SoundState& s, codec::ByteReader& in);

}  // namespace engine
