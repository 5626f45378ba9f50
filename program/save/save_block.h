// The contract between the snapshot code and the subsystems that own a block of save data.
//
// A snapshot is the fixed part followed by fourteen blocks in a fixed order (button block,
// choice settings, script thread, layers, screen effects, layer shader effects, music, sound
// effects, voice autopan, background voices, backlog, text window, actions, return stack).
// Each block's owner writes it and reads it back through three functions named after the
// block:
//
//   void <block>_save_write(const engine::VmContext& vm, codec::ByteWriter& out);
//       Appends the block. Never fails; the snapshot code checks the total size.
//   bool <block>_save_check(codec::ByteReader& in, save::SaveCheck& check);
//       Reads exactly the bytes the writer produced and changes nothing. Every count is
//       checked against its capacity before it sizes a loop, every code offset against the
//       code, every value against its range; false (with check.fail naming the field) on the
//       first fault, or when the bytes end early (in.failed()).
//   void <block>_save_read(engine::VmContext& vm, codec::ByteReader& in, const save::LoadMode&
//   mode);
//       Called only after every block passed its check: restores the records and rebuilds
//       what they name (sprites, sounds, button images), consuming exactly the checked bytes
//       whatever fails while rebuilding.
//
// A file is checked whole before the game is reset, so a refused file leaves the game, the
// held snapshot and PrevData as they were.
#pragma once

#include <cstdint>

#include "shared/byte_codec.h"

namespace save {

// What the check pass knows of the running game, and the first fault it found.
struct SaveCheck {
  uint32_t dwCodeSize = 0;      // bytes of script code; code offsets must lie below it
  uint32_t dwCodeBase = 0;      // labels count from here (relative offsets add it)
  const char* field = nullptr;  // the first field found wrong, for the refusal line

  // Records the first fault; always returns false so a check can `return check.fail("x")`.
  bool fail(const char* name) {
    if (!field) field = name;
    return false;
  }
  // A value inside [lo, hi].
  bool range(int64_t v, int64_t lo, int64_t hi, const char* name) {
    return (v >= lo && v <= hi) || fail(name);
  }
  // An absolute code offset inside the code.
  bool code(uint32_t pc, const char* name) { return pc < dwCodeSize || fail(name); }
  // A label offset relative to the code base; 0xFFFFFFFF (none) passes when allowed.
  bool label(uint32_t rel, bool none_ok, const char* name) {
    if (none_ok && rel == 0xFFFFFFFFu) return true;
    return (static_cast<uint64_t>(dwCodeBase) + rel < dwCodeSize) || fail(name);
  }
  // The reader's bytes did not end early.
  bool whole(const codec::ByteReader& in, const char* name) { return in.ok() || fail(name); }
};

// How a snapshot is being restored.
struct LoadMode {
  bool bHistory = false;  // a history file: music comes back without its fade-in
};

}  // namespace save
