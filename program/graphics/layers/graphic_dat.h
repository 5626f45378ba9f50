// graphic.dat in memory: the whole file as read, and the lookup of a name's record.
//
// The file is read once at engine start and kept until shutdown. Every size in it is checked
// against what was read: a file shorter than its index is missing (one line names it), and a
// bucket whose records do not lie wholly inside the file finds nothing.
//
// Thread: the image loaders call the lookup on the game thread or the work thread while the
// script runs there; the file is loaded and freed while no script runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/layers/graphic_info.h"

namespace layers {

class GraphicDat {
 public:
  // Takes the file's bytes (unscrambled here when byte 0 is '$'). False, with the reason in
  // *error and nothing loaded, when the file is too short to hold its index.
  bool load(std::vector<uint8_t> bytes, std::string* error);
  void clear();
  bool loaded() const { return loaded_; }

  // The record for an image name given as a 32-byte zero-padded field, compared over all 32
  // bytes. True with *out filled; false with *out all zero (no file, no record, a bucket that
  // runs past the end of the file, or a name beginning with byte 255, which has no bucket).
  bool find(const char (&name)[32], GraphicInfo* out) const;

 private:
  std::vector<uint8_t> bytes_;
  bool loaded_ = false;
};

// The game's graphic.dat: loaded by the engine start, cleared at shutdown.
extern GraphicDat graphic_dat;

// The name as a zero-padded 32-byte field (cut at 31 bytes, so it always ends in a zero).
void graphic_name_field(const char* name, char (&field)[32]);

}  // namespace layers
