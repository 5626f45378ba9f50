#version 330 core
// The texel times the draw's colour; a texel of alpha 0 is never drawn.
in vec2 v_uv;
uniform sampler2D g_Texture;
uniform vec4 color;
out vec4 frag;
void main() {
  vec4 s = texture(g_Texture, v_uv);
  if (s.a == 0.0) discard;
  frag = s * color;
}
