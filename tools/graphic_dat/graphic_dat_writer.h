// Builds graphic.dat files: from records, or from a text list of them.
//
// Text list: one record per line, "NAME key=value ...", blank lines and lines beginning with
// ';' ignored; the text is UTF-8 and names are stored as Shift-JIS. Keys, and the flag each
// sets: load=NAME (none; without it the record loads its own NAME, since the game loads the
// load name of every record it finds), ani=NAME (0x4000),
// step=N (none), mode=N (0x2000), x=N y=N (0x20000), scale=PERCENT (0x100000),
// color=0xAARRGGBB (0x80000), cx=N cy=N (0x8000), flags=N (replaces the flags the keys made).
// A record without keys has flags 0.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "program/graphics/layers/graphic_info.h"

namespace graphicdat {

// The file's bytes: records bucketed by their name's first byte, in list order inside a
// bucket; the body scrambled when scramble is set. False with a reason for a name that is
// empty, longer than 31 bytes, begins with byte 255 or appears twice.
bool build(const std::vector<layers::GraphicInfo>& records, bool scramble,
           std::vector<uint8_t>* out, std::string* error);

// Parses a text list. False with "line N: reason".
bool parse_list(const std::string& text, std::vector<layers::GraphicInfo>* records,
                std::string* error);

}  // namespace graphicdat
