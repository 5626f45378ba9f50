// The data-file word scrambler of access.dat and of the script's '$' tables.
//
// Whole little-endian 32-bit words only: a length is rounded down to a multiple of 4 and the
// 0-3 bytes after the last whole word are left as they are. Each word is XOR-ed with the two
// key words and its lowest byte (the one at the word's first address) is rotated right by
// c mod 8 bits, where c starts at 4 for the first word and grows by one per word (8 bits).
#pragma once

#include <cstddef>
#include <cstdint>

// Scrambles length bytes of buffer in place. A length below 4 changes nothing.
void scramble_words(uint8_t* buffer, size_t length);
// Undoes scramble_words over the same bytes.
void unscramble_words(uint8_t* buffer, size_t length);
