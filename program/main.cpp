// Velmora: the game program. The whole life of the process is engine::velmora_main.
#include "engine/velmora_main.h"

int main(int argc, char** argv) { return engine::velmora_main(argc, argv); }
