#version 330 core
// The sprite's quad in its model space (attribute 0; one unit is half the square render
// target's side), taken to clip space by the sprite's whole transform: world, camera view and
// projection, one row-vector matrix. Clip z arrives 0..w and is mapped to GL's -w..w.
// Attribute 1 is the texture coordinate.
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform mat4 transform;
out vec2 v_uv;
void main() {
  vec4 c = vec4(pos, 0.0, 1.0) * transform;
  gl_Position = vec4(c.x, c.y, 2.0 * c.z - c.w, c.w);
  v_uv = uv;
}
