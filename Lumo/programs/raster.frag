#version 330 core
// The warped picture times the draw's colour. Places outside the picture and texels of
// alpha 0 are not drawn.
in vec2 v_uv;
uniform sampler2D g_Texture;
uniform vec4 color;
out vec4 frag;
void main() {
  if (v_uv.x < 0.0 || v_uv.y < 0.0 || v_uv.x >= 1.0 || v_uv.y >= 1.0) discard;
  vec4 s = texture(g_Texture, v_uv);
  if (s.a == 0.0) discard;
  frag = s * color;
}
