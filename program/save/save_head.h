// The slot queries' view of a save file: the head that they read without loading the file
// (lock word, title, save text, thumbnail) and a word of its UserMemory, which lies after the
// file's own thumbnail. Every value is checked against the bytes the file holds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace save {

struct SaveHead {
  uint32_t dwLock = 0;
  uint32_t dwTitle = 0;
  std::string text;  // the save text up to its terminator (at most 4095 bytes)
  uint32_t dwThumbWidth = 0;
  uint32_t dwThumbHeight = 0;
  const uint8_t* lpThumbPixels = nullptr;  // width x height 32-bit pixels inside the bytes
};

// Reads the head of a save image; false when the bytes end before it does or its thumbnail
// sizes disagree (S must be width x height x 4 and lie inside the bytes).
bool save_head_read(const uint8_t* data, size_t size, SaveHead* head);

// UserMemory word index (0-1023) of a save image, after the image's own thumbnail; false when
// the index is outside UserMemory or the word outside the bytes.
bool save_head_user_word(const uint8_t* data, size_t size, int32_t index, uint32_t* word);

}  // namespace save
