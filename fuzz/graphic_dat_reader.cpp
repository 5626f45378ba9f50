// graphic.dat bytes in: loading never reads outside the file, and a lookup of any name, of the
// name each bucket's first record claims, or of a script's name text cut to the 32-byte field,
// either finds a record with that name or none.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "graphics/layers/graphic_dat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  layers::GraphicDat dat;
  std::string error;
  if (!dat.load(std::vector<uint8_t>(data, data + size), &error)) return 0;
  auto check = [&](const char(&name)[32]) {
    layers::GraphicInfo info;
    if (dat.find(name, &info) && std::memcmp(info.name, name, 32) != 0) std::abort();
  };
  char name[32] = {};
  for (size_t b = 0; b < 256; ++b) {
    name[0] = static_cast<char>(b);
    check(name);
  }
  // Names taken from the (plain) bytes where records would lie.
  for (size_t at = layers::kGraphicDatRecordsAt; at + 32 <= size && at < 8192; at += 132) {
    std::memcpy(name, data + at, 32);
    check(name);
  }
  // A name as a script gives it (text up to its first zero, any length), cut to the field.
  const std::string text(reinterpret_cast<const char*>(data), std::min<size_t>(size, 48));
  char field[32];
  layers::graphic_name_field(text.c_str(), field);
  if (field[31] != 0) std::abort();
  check(field);
  return 0;
}
