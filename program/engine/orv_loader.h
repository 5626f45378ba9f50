// Loading the platform library from dll/ beside the program.
#pragma once

namespace engine {

// Loads dll/libOrv.so from the program's folder and binds every export into `orv`. On
// failure shows the "library not found" box, writes the path tried and the loader's reason to
// stderr and returns false; the caller then ends the process with exit code 1. The library
// stays loaded until the process ends.
bool orv_library_load();

}  // namespace engine
