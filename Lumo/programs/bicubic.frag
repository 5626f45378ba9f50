#version 330 core
// Bicubic presentation with the Catmull-Rom kernel (the cubic convolution with a = -0.5):
// for distance d from a texel centre, w(d) = 1.5|d|^3 - 2.5|d|^2 + 1 when |d| <= 1,
// -0.5|d|^3 + 2.5|d|^2 - 4|d| + 2 when 1 < |d| < 2, else 0. Each pixel weights the 4 x 4
// texels around it; places beyond the picture take its edge texels. The result is opaque.
// TexSize is (texture width, texture height, 0, 0); TexDiffU (2 / width, 0, 0, 0) is the
// width of two texels, the reach of the kernel on each side.
in vec2 v_uv;
uniform sampler2D g_Texture;
uniform vec4 TexSize;
uniform vec4 TexDiffU;
out vec4 frag;
vec4 weights(float f) {
  float f2 = f * f, f3 = f2 * f;
  return vec4(-0.5 * f3 + f2 - 0.5 * f, 1.5 * f3 - 2.5 * f2 + 1.0,
              -1.5 * f3 + 2.0 * f2 + 0.5 * f, 0.5 * f3 - 0.5 * f2);
}
void main() {
  ivec2 size = ivec2(TexSize.xy);
  vec2 t = v_uv * TexSize.xy - 0.5;
  vec2 base = floor(t);
  vec2 f = t - base;
  vec4 wx = weights(f.x), wy = weights(f.y);
  vec3 sum = vec3(0.0);
  for (int j = 0; j < 4; ++j) {
    vec3 row = vec3(0.0);
    for (int i = 0; i < 4; ++i) {
      ivec2 q = clamp(ivec2(base) + ivec2(i - 1, j - 1), ivec2(0), size - 1);
      row += texelFetch(g_Texture, q, 0).rgb * wx[i];
    }
    sum += row * wy[j];
  }
  frag = vec4(clamp(sum, 0.0, 1.0), 1.0 + 0.0 * TexDiffU.x);
}
