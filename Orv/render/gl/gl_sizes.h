// The sizes the GL peer derives from the game size: the square frame target, the temporary
// target of the target list, and the raster grid laid over the square. Pure arithmetic, any
// thread.
#pragma once

#include <cstdint>
#include <vector>

// The square frame target's side: the game sides, each raised to a power of two when `pow2`,
// the larger of the two.
int32_t gl_frame_side(int32_t game_w, int32_t game_h, bool pow2);
// The temporary target's side: from the larger game side by the table of common screen sizes
// (800 -> 1024; 1024, 1280, 1440, 1680 -> 2048; 1920, 2048 -> 2560; 2560 -> 3840), any other
// side raised to the next power of two (a power of two stays).
int32_t gl_temp_side(int32_t game_w, int32_t game_h);

// The raster grid over a square of `side` pixels: a vertex every 16 pixels and one beyond,
// columns = rows = (side >> 4) + 2; vertex (i, j) row-major at index i x columns + j, its place
// in clip space (x right, y up) and its texture coordinate over the square; two triangles per
// cell. Indices are 32-bit: a 4096 square has 66,564 vertices.
struct GlGridMesh {
  int32_t columns = 0, rows = 0;
  int32_t vertex_count = 0, triangle_count = 0;
  std::vector<float> vertices;  // x, y, u, v per vertex
  std::vector<uint32_t> indices;
};
GlGridMesh gl_grid_mesh(int32_t side);
// The grid's vertices moved by the raster wave (phase 0..1, the two amplitudes), into `out`
// (x, y, u, v per vertex, as mesh.vertices).
void gl_grid_displace(const GlGridMesh& mesh, float phase, float amplitude1, float amplitude2,
                      std::vector<float>* out);
