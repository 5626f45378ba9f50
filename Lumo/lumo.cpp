// The lookup over the generated table.
#include "lumo.h"

#include <cstring>

#include "lumo_table.h"

extern "C" int LumoProgramFind(const char* name, const char** vertex, const char** fragment) {
  if (!name) return 0;
  for (int i = 0; i < kLumoTableSize; ++i) {
    if (std::strcmp(kLumoTable[i].name, name) != 0) continue;
    if (vertex) *vertex = kLumoTable[i].vertex;
    if (fragment) *fragment = kLumoTable[i].fragment;
    return 1;
  }
  return 0;
}
