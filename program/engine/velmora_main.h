// The life of the game program's process: checks, platform library, start-up, the game, and
// shutdown. Returns the process exit code.
#pragma once

namespace engine {

int velmora_main(int argc, char** argv);

}  // namespace engine
