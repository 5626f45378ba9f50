// Voice mix lists: "<voice>.mix" beside the voice files names voices that play together, as a
// headerless array of 32-byte zero-padded file names.
//
// Thread: any (pure functions over bytes the caller owns).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

constexpr size_t kMixEntryBytes = 32;
constexpr size_t kMixMaxEntries = 8;

// The names of a list's bytes: at most eight whole 32-byte entries (a short tail is ignored),
// each read within its bytes (a name of 32 bytes has no terminator) and upper-cased as file
// names are: 'a'..'z' become 'A'..'Z', a byte of 0x80 or above is kept together with the byte
// after it.
std::vector<std::string> voice_mix_list_parse(const uint8_t* bytes, size_t size);

// Reads "<name>.mix" as any data file is found. False when there is no such file (the voice is
// then a single file); true with the names otherwise (an unreadable list gives none).
bool voice_mix_list_read(const std::string& name, std::vector<std::string>* names);

}  // namespace engine
