#version 330 core
// A quad in target pixels: attribute 0 the position (row 0 the picture's top), attribute 1 the
// texture coordinate. flip -1 turns the picture over for the window's own framebuffer.
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform vec2 target_size;
uniform float flip;
out vec2 v_uv;
void main() {
  vec2 n = pos / target_size * 2.0 - 1.0;
  gl_Position = vec4(n.x, n.y * flip, 0.0, 1.0);
  v_uv = uv;
}
