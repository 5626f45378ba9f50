// The bytes of a voice mix list: each voice file name (without extension) in a 32-byte field,
// zero-padded, one after the other, no header.
#pragma once

#include <string>
#include <vector>

namespace mixlist {

// False (and out untouched) when a name is empty or longer than 31 bytes.
bool mix_list_bytes(const std::vector<std::string>& names, std::string* out);

}  // namespace mixlist
