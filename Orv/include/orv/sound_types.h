// Sound value types shared by the platform library and the game program.
#pragma once

#include <cstdint>

// A sound channel: group (1-7) in bits 28-31, the channel's index in its group below; 0 is
// "no sound". Only the loaders, OrvSoundCopy and OrvSoundLoadSetReserved make them.
using OrvSoundHandle = uint32_t;

// Loop points of a music load, in bytes of the file's own PCM. With use 0 (or no record) a
// stream plays from the start to the end of its data; else from start, jumping back to loop
// when it reaches end (0: the end of the data).
struct BgmLoopPoints {
  uint32_t use;
  uint32_t start;
  uint32_t loop;
  uint32_t end;
};
static_assert(sizeof(BgmLoopPoints) == 16);
