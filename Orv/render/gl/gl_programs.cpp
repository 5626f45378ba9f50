// The sprite program and the colour targets.
#include <string>

#include "Orv/render/gl/gl_device.h"

namespace gl = platform::gl;

namespace {

// Positions arrive in the sprite's model space and leave through one row-vector matrix
// (gl_sprite_space.h); its clip z runs 0..w and is mapped to GL's -w..w here.
constexpr const char* kSpaceVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform mat4 transform;
out vec2 v_uv;
void main() {
  vec4 c = vec4(pos, 0.0, 1.0) * transform;
  gl_Position = vec4(c.x, c.y, 2.0 * c.z - c.w, c.w);
  v_uv = uv;
}
)";

// Texels of alpha 0 are never drawn (the alpha test), except when presenting. The blends
// take the software peer's 8-bit steps (products over 256, truncated), so that the blend
// stage's rounding leaves at most 1 between the two peers.
constexpr const char* kSpriteFragment = R"(#version 330 core
in vec2 v_uv;
uniform sampler2D tex;
uniform vec4 color;
uniform int mode;
out vec4 frag;
void main() {
  vec4 s = texture(tex, v_uv);
  if (mode == 4) {
    frag = vec4(s.rgb, 1.0);
    return;
  }
  if (s.a == 0.0) discard;
  if (mode == 5) {
    frag = s;
    return;
  }
  if (mode == 6 || mode == 7) {
    // Output alpha 0 is never drawn, as texels of alpha 0 are not.
    frag = mode == 6 ? s * color : vec4(s.rgb, s.a * color.a);
    if (frag.a == 0.0) discard;
    return;
  }
  vec4 s8 = floor(s * 255.0 + 0.5);
  vec4 c8 = floor(color * 255.0 + 0.5);
  if (mode == 2 || mode == 3) {
    vec3 x = floor(floor(s8.rgb * s8.a / 256.0) * c8.a / 256.0);
    frag = vec4(mode == 2 ? x / 255.0 : x / 256.0, 1.0);
  } else {
    float m = floor(c8.a * s8.a / 256.0);
    frag = vec4(floor(s8.rgb * c8.rgb / 256.0) / 255.0, m / 256.0);
  }
}
)";

// kGlModeBlendForm: the texel as it is, from a texture already in the blend's form. Nothing
// else is done, so that llvmpipe draws the sprite on its 8-bit path along rows (a bare fetch
// under a premultiplied blend), several times faster than its general one, which converts
// every texel to floats and back.
constexpr const char* kBlendFormFragment = R"(#version 330 core
in vec2 v_uv;
uniform sampler2D tex;
out vec4 frag;
void main() {
  frag = texture(tex, v_uv);
}
)";

// The flat vertex stage with its output interpolated in perspective, for the blend form: the
// 8-bit path takes only perspective-interpolated texture coordinates, and with w = 1 they are
// the same values.
std::string blend_form_vertex() {
  std::string text = kGlFlatQuadVertex;
  const std::string qualifier = "noperspective ";
  text.erase(text.find(qualifier), qualifier.size());
  return text;
}

// The sprite fragment program behind the flat vertex stage (kGlFlatQuadVertex), whose output
// it must take with the same interpolation.
std::string flat_fragment() {
  std::string text = kSpriteFragment;
  const std::string in = "in vec2 v_uv;";
  text.replace(text.find(in), in.size(), "noperspective " + in);
  return text;
}

platform::GLuint compile(const platform::GlFunctions& f, platform::GLenum type, const char* text,
                         std::string* error) {
  platform::GLuint shader = f.CreateShader(type);
  f.ShaderSource(shader, 1, &text, nullptr);
  f.CompileShader(shader);
  platform::GLint ok = 0;
  f.GetShaderiv(shader, gl::kCompileStatus, &ok);
  if (!ok) {
    char log[1024] = {};
    f.GetShaderInfoLog(shader, sizeof log - 1, nullptr, log);
    if (error) *error = log;
    f.DeleteShader(shader);
    return 0;
  }
  return shader;
}

// Links the sprite program once per fragment mode with the mode a constant in place of the
// uniform: the compiler then drops the other modes' instructions, which a software rasteriser
// would otherwise run (masked) for every pixel. False with the log when one fails.
bool build_mode_programs(GlRenderer* g, std::string* error) {
  const platform::GlFunctions& f = g->f;
  const std::string text = flat_fragment();
  const std::string uniform = "uniform int mode;";
  const size_t at = text.find(uniform);
  if (at == std::string::npos) return false;
  const std::string form_vertex = blend_form_vertex();
  for (int32_t mode = 1; mode < kGlModeCount; ++mode) {
    std::string fragment = text;
    fragment.replace(at, uniform.size(), "const int mode = " + std::to_string(mode) + ";");
    const bool blend_form = mode == kGlModeBlendForm;
    const platform::GLuint program =
        gl_program_link(f, blend_form ? form_vertex.c_str() : kGlFlatQuadVertex,
                        blend_form ? kBlendFormFragment : fragment.c_str(), error);
    if (!program) return false;
    GlSpriteProgram& p = g->sprite_modes[mode];
    p.id = program;
    p.target_size = f.GetUniformLocation(program, "target_size");
    p.flip = f.GetUniformLocation(program, "flip");
    p.color = f.GetUniformLocation(program, "color");
    p.tex = f.GetUniformLocation(program, "tex");
  }
  return true;
}

}  // namespace

const char* const kGlFlatQuadVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform vec2 target_size;
uniform float flip;
noperspective out vec2 v_uv;
void main() {
  vec2 n = pos / target_size * 2.0 - 1.0;
  gl_Position = vec4(n.x, n.y * flip, 0.0, 1.0);
  v_uv = uv;
}
)";

const char* const kGlTargetQuadVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
uniform vec2 target_size;
void main() {
  gl_Position = vec4(pos / target_size * 2.0 - 1.0, 0.0, 1.0);
}
)";

platform::GLuint gl_program_link(const platform::GlFunctions& f, const char* vertex,
                                 const char* fragment, std::string* error) {
  platform::GLuint vs = compile(f, gl::kVertexShader, vertex, error);
  if (!vs) return 0;
  platform::GLuint fs = compile(f, gl::kFragmentShader, fragment, error);
  if (!fs) {
    f.DeleteShader(vs);
    return 0;
  }
  platform::GLuint program = f.CreateProgram();
  f.AttachShader(program, vs);
  f.AttachShader(program, fs);
  f.LinkProgram(program);
  f.DeleteShader(vs);
  f.DeleteShader(fs);
  platform::GLint ok = 0;
  f.GetProgramiv(program, gl::kLinkStatus, &ok);
  if (!ok) {
    char log[1024] = {};
    f.GetProgramInfoLog(program, sizeof log - 1, nullptr, log);
    if (error) *error = log;
    f.DeleteProgram(program);
    return 0;
  }
  return program;
}

bool gl_build_sprite_program(GlRenderer* g, std::string* error) {
  const platform::GlFunctions& f = g->f;
  if (!build_mode_programs(g, error)) return false;
  const platform::GLuint program =
      gl_program_link(f, kGlFlatQuadVertex, flat_fragment().c_str(), error);
  if (!program) return false;
  GlSpriteProgram& p = g->sprite;
  p.id = program;
  p.target_size = f.GetUniformLocation(program, "target_size");
  p.flip = f.GetUniformLocation(program, "flip");
  p.color = f.GetUniformLocation(program, "color");
  p.mode = f.GetUniformLocation(program, "mode");
  p.tex = f.GetUniformLocation(program, "tex");
  return true;
}

bool gl_build_space_program(GlRenderer* g, std::string* error) {
  const platform::GlFunctions& f = g->f;
  const platform::GLuint program = gl_program_link(f, kSpaceVertex, kSpriteFragment, error);
  if (!program) return false;
  GlSpaceProgram& p = g->space;
  p.id = program;
  p.transform = f.GetUniformLocation(program, "transform");
  p.color = f.GetUniformLocation(program, "color");
  p.mode = f.GetUniformLocation(program, "mode");
  p.tex = f.GetUniformLocation(program, "tex");
  return true;
}

bool gl_target_create(GlRenderer* g, int32_t width, int32_t height, GlTarget* out) {
  const platform::GlFunctions& f = g->f;
  if (width < 1 || height < 1 || width > g->max_texture || height > g->max_texture) return false;
  GlTarget t;
  t.width = width;
  t.height = height;
  f.GenTextures(1, &t.texture);
  f.BindTexture(gl::kTexture2D, t.texture);
  // Unsized RGBA, as the textures (gl_textures.cpp): stored in the BGRA order it is read in.
  f.TexImage2D(gl::kTexture2D, 0, static_cast<platform::GLint>(gl::kRgba), width, height, 0,
               gl::kBgra, gl::kUnsignedByte, nullptr);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, gl::kNearest);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, gl::kNearest);
  f.TexParameteri(gl::kTexture2D, gl::kTextureWrapS, gl::kClampToEdge);
  f.TexParameteri(gl::kTexture2D, gl::kTextureWrapT, gl::kClampToEdge);
  f.GenFramebuffers(1, &t.fbo);
  f.BindFramebuffer(gl::kFramebuffer, t.fbo);
  f.FramebufferTexture2D(gl::kFramebuffer, gl::kColorAttachment0, gl::kTexture2D, t.texture, 0);
  bool complete = f.CheckFramebufferStatus(gl::kFramebuffer) == gl::kFramebufferComplete;
  if (complete) {
    f.Viewport(0, 0, width, height);
    f.Disable(gl::kScissorTest);
    f.ClearColor(0, 0, 0, 0);
    f.Clear(gl::kColorBufferBit);
  }
  f.BindFramebuffer(gl::kFramebuffer, 0);
  if (!complete) {
    t.width = t.height = 0;  // nothing was counted for it
    gl_target_destroy(g, &t);
    return false;
  }
  *out = t;
  g->texture_bytes += gl_texture_bytes(width, height);
  return true;
}

void gl_target_destroy(GlRenderer* g, GlTarget* t) {
  if (t->texture) {
    g->texture_bytes -= gl_texture_bytes(t->width, t->height);
  }
  if (t->fbo) g->f.DeleteFramebuffers(1, &t->fbo);
  if (t->texture) g->f.DeleteTextures(1, &t->texture);
  *t = GlTarget{};
}
