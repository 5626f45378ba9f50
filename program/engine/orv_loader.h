// Loading the platform library from dll/ beside the program.
#pragma once

namespace engine {

// Loads dll/libOrv.so from the program's folder, checks that it was built from this program's
// export list or a later one (OrvApiVersion; a library without it is version 0), then binds
// every export into `orv`. On failure (no library, an older one, a missing export) shows the
// "library not found" box, writes the path tried and the reason to stderr and returns false;
// the caller then ends the process with exit code 1. The library stays loaded until the
// process ends.
bool orv_library_load();

}  // namespace engine
