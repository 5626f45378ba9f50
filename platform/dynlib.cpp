#include "platform/dynlib.h"

#include <dlfcn.h>

namespace platform {

DynLib dynlib_open(const std::string& path, bool local) {
  DynLib lib;
  lib.handle = dlopen(path.c_str(), RTLD_NOW | (local ? RTLD_LOCAL : RTLD_GLOBAL));
  if (!lib.handle) {
    const char* why = dlerror();
    lib.error = why ? why : "unknown error";
  }
  return lib;
}

void* dynlib_symbol(const DynLib& lib, const char* name) {
  return lib.handle ? dlsym(lib.handle, name) : nullptr;
}

void dynlib_close(DynLib& lib) {
  if (lib.handle) dlclose(lib.handle);
  lib.handle = nullptr;
}

}  // namespace platform
