// Velmora: the game program. The subsystems attach first; then the whole life of the process is
// engine::velmora_main.
#include "engine/velmora_main.h"
#include "subsystems.h"

int main(int argc, char** argv) {
  attach_subsystems();
  return engine::velmora_main(argc, argv);
}
