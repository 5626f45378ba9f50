// Target sizes and the raster grid.
#include "Orv/render/gl/gl_sizes.h"

#include <algorithm>
#include <cmath>

namespace {

int32_t next_pow2(int32_t v) {
  int32_t p = 1;
  while (p < v && p < (1 << 30)) p <<= 1;
  return p;
}

}  // namespace

int32_t gl_frame_side(int32_t game_w, int32_t game_h, bool pow2) {
  if (pow2) {
    game_w = next_pow2(game_w);
    game_h = next_pow2(game_h);
  }
  return std::max(game_w, game_h);
}

int32_t gl_temp_side(int32_t game_w, int32_t game_h) {
  int32_t side = std::max(game_w, game_h);
  switch (side) {
    case 800:
      return 1024;
    case 1024:
    case 1280:
    case 1440:
    case 1680:
      return 2048;
    case 1920:
    case 2048:
      return 2560;
    case 2560:
      return 3840;
    default:
      return next_pow2(side);
  }
}

GlGridMesh gl_grid_mesh(int32_t side) {
  GlGridMesh m;
  if (side < 1) return m;
  const int32_t cells = side >> 4;
  m.columns = m.rows = cells + 2;
  m.vertex_count = m.columns * m.rows;
  m.triangle_count = (cells + 1) * (cells + 1) * 2;
  const float cw = static_cast<float>(m.columns - 1), rh = static_cast<float>(m.rows - 1);
  m.vertices.reserve(static_cast<size_t>(m.vertex_count) * 4);
  for (int32_t i = 0; i < m.rows; ++i) {
    for (int32_t j = 0; j < m.columns; ++j) {
      m.vertices.push_back(2.0f * static_cast<float>(j) / cw - 1.0f);
      m.vertices.push_back(1.0f - 2.0f * static_cast<float>(i) / rh);
      // A small step inwards keeps the first texel of each cell its own.
      m.vertices.push_back((static_cast<float>(j) + 0.005f) / cw);
      m.vertices.push_back((static_cast<float>(i) + 0.005f) / rh);
    }
  }
  m.indices.reserve(static_cast<size_t>(m.triangle_count) * 3);
  for (int32_t r = 0; r + 1 < m.rows; ++r) {
    const uint32_t o = static_cast<uint32_t>(r * m.columns);
    const uint32_t cols = static_cast<uint32_t>(m.columns);
    for (uint32_t c = 0; c + 1 < cols; ++c) {
      m.indices.insert(m.indices.end(), {o + c + 1, o + cols + c + 1, o + cols + c});
      m.indices.insert(m.indices.end(), {o + c + 1, o + cols + c, o + c});
    }
  }
  return m;
}

void gl_grid_displace(const GlGridMesh& mesh, float phase, float amplitude1, float amplitude2,
                      std::vector<float>* out) {
  *out = mesh.vertices;
  if (mesh.columns < 1 || mesh.rows < 1) return;
  // The same steps as the RASTER program: integer indices into a 512-step sine.
  constexpr float kStep = 6.283185307179586f / 512.0f;
  const int32_t p = static_cast<int32_t>(phase * 511.0f);
  const int32_t row_step = 511 / mesh.rows, column_step = 511 / mesh.columns;
  for (int32_t k = 0; k < mesh.vertex_count; ++k) {
    const int32_t i = k / mesh.columns;
    const int32_t row_index = (p + i * row_step) & 511;
    const int32_t run_index = (p + k * column_step) & 511;
    (*out)[static_cast<size_t>(k) * 4] +=
        std::sin(static_cast<float>(row_index) * kStep) * amplitude1 * 0.1f;
    (*out)[static_cast<size_t>(k) * 4 + 1] +=
        std::sin(static_cast<float>(run_index) * kStep) * amplitude2 * 0.1f;
  }
}
