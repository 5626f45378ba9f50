#version 330 core
// The raster wave as a displaced screen grid, computed here per vertex instead of by
// rewriting the grid's vertices each frame.
//
// The grid covers the square frame target in cells of 16 pixels: grid.x columns and grid.y
// rows of vertices, row-major, vertex k at row k / grid.x. Attribute 0 is the vertex's
// undisplaced place in the square's clip space (x to the right, y up, -1..1), attribute 1 its
// texture coordinate over the square. The phase picks a start p = trunc(offset x 511) in a
// 512-step sine; row i moves sideways by sin((p + i x (511 / rows)) & 511) x undulate_x x 0.1,
// and vertex k moves up or down by sin((p + k x (511 / columns)) & 511) x undulate_y x 0.1,
// the index running on from row to row.
//
// clip_scale (square side / target side per axis) maps the square onto the bound target,
// whose row 0 is the picture's top; uv_map maps the square's texture coordinate onto the
// texture drawn (uv x uv_map.xy + uv_map.zw).
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform float offset;
uniform float undulate_x;
uniform float undulate_y;
uniform ivec2 grid;
uniform vec2 clip_scale;
uniform vec4 uv_map;
out vec2 v_uv;
const float kStep = 6.283185307179586 / 512.0;
void main() {
  int k = gl_VertexID;
  int i = k / grid.x;
  int p = int(offset * 511.0);
  int row_index = (p + i * (511 / grid.y)) & 511;
  int run_index = (p + k * (511 / grid.x)) & 511;
  vec2 moved = pos + vec2(sin(float(row_index) * kStep) * undulate_x * 0.1,
                          sin(float(run_index) * kStep) * undulate_y * 0.1);
  gl_Position = vec4(moved.x * clip_scale.x, -moved.y * clip_scale.y, 0.0, 1.0);
  v_uv = uv * uv_map.xy + uv_map.zw;
}
