// The table that embed_programs.cmake generates from programs/.
#pragma once

struct LumoEntry {
  const char* name;
  const char* vertex;
  const char* fragment;
};

extern const LumoEntry kLumoTable[];
extern const int kLumoTableSize;
