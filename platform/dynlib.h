// Loading shared libraries at run time (LoadLibrary / GetProcAddress / FreeLibrary).
//
// Stateless: the game program loads libOrv.so with it, the library loads libLumo.so.
#pragma once

#include <string>

namespace platform {

struct DynLib {
  void* handle = nullptr;
  std::string error;  // the loader's reason when open failed
};

// Opens the library at the UTF-8 path; local binds its symbols only for lookups through it.
DynLib dynlib_open(const std::string& path, bool local = false);
void* dynlib_symbol(const DynLib& lib, const char* name);
void dynlib_close(DynLib& lib);

}  // namespace platform
