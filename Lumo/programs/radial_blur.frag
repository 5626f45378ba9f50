#version 330 core
// A radial blur: each pixel averages eight samples on the line from its own place towards the
// centre, the centre being texel (offset_x, offset_y) of the texture (g_TextureWidth x
// g_TextureHeight texels) and `level` (0..1) the part of that line the samples cover: sample
// n (0..7) lies at uv + (centre - uv) x level x n / 8. Colours are weighted by their alpha, so
// that transparent samples thin the result instead of darkening it.
in vec2 v_uv;
uniform sampler2D g_Texture;
uniform float g_TextureWidth;
uniform float g_TextureHeight;
uniform float offset_x;
uniform float offset_y;
uniform float level;
uniform vec4 color;
out vec4 frag;
void main() {
  vec2 centre = vec2(offset_x / g_TextureWidth, offset_y / g_TextureHeight);
  vec2 step = (centre - v_uv) * clamp(level, 0.0, 1.0) / 8.0;
  vec3 rgb = vec3(0.0);
  float a = 0.0;
  for (int n = 0; n < 8; ++n) {
    vec4 s = texture(g_Texture, v_uv + step * float(n));
    rgb += s.rgb * s.a;
    a += s.a;
  }
  if (a == 0.0) discard;
  frag = vec4(rgb / a, a / 8.0) * color;
}
