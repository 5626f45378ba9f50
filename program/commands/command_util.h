// Small helpers that the script command library shares: fetching texts and file names into
// std::string, storing texts into string slots within their bounds, and the log texts that
// several commands print.
//
// Thread: whichever thread runs the script.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/vm_context.h"

namespace engine {

// Most text bytes a string slot holds (its last byte is the terminator).
constexpr uint32_t kSlotTextMax = kVarStringBytes - 1;

// "string型以外の型を指定しました。": the tail of the error line of a command whose
// destination is not a string slot.
#define CMD_NOT_STRING_TYPE                                                                        \
  "string\x8c^\x88\xc8\x8aO\x82\xcc\x8c^\x82\xf0\x8ew\x92\xe8\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81" \
  "B"

// The text a text reference names, fetched through a buffer of `size` bytes (its 4-byte head
// included, so at most size - 5 text bytes).
std::string fetch_text(VmContext& vm, uint32_t value, uint32_t size = 4096);
// The name a file reference names (string slots upper-cased unless they begin with "http"),
// fetched through a buffer of `capacity` bytes without marking the file seen.
std::string fetch_file_name(VmContext& vm, uint32_t value, uint32_t capacity = 4096);

// The longest prefix of text that is at most max bytes and does not split a two-byte
// Shift-JIS character.
size_t sjis_clamp(std::string_view text, size_t max);

// True when value has the string-handle bit.
inline bool is_string_handle(uint32_t value) {
  return (value & 0x10000000u) != 0;
}
// The slot a string handle names, null when the handle's index is 16 or more.
char* slot_of(VmContext& vm, uint32_t handle);
// Replaces the slot's text with text, cut to what a slot holds on a character boundary.
void slot_store(char* slot, std::string_view text);
// The slot's text (it is always terminated within the slot).
std::string_view slot_text(const char* slot);

// Reads a data file whole as OrvFileCreate finds it (search folders, loose or in an archive).
// Returns 0 read, 1 not found, 3 read failed (data then holds what was read).
int read_data_file(const char* name, std::string* data);

}  // namespace engine
