// Fills the game program's binding table from the statically linked platform library, so that
// unit tests, fuzz targets and benchmarks run game code against the real Orv without loading
// dll/libOrv.so.
//
// Lives in its own library (orv_static_bind, which links orv_static): the game program itself
// never links Orv, it binds dll/libOrv.so by name (engine/orv_loader.h).
#pragma once

namespace engine {

// Points every entry of `orv` at the linked library's function of the same name. Callers that
// must keep the library from acting (ending the process, writing the log) clear those entries
// afterwards.
void orv_static_bind();

}  // namespace engine
