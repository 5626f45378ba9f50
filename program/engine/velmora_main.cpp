#include "engine/velmora_main.h"

#include <cstdio>

#include "engine/orv_loader.h"

namespace engine {

int velmora_main(int argc, char** argv) {
  (void)argc;
  (void)argv;
  if (!orv_library_load()) return 1;
  std::fputs("Velmora: the platform library is loaded; the rest of start-up is not built yet.\n",
             stderr);
  return 0;
}

}  // namespace engine
