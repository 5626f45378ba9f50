// Loading the effect library's programs, the raster grid, and the raster draw.
#include "Orv/render/gl/gl_effects.h"

#include <algorithm>
#include <string>

#include "Orv/core/error_report.h"
#include "Orv/render/gl/gl_device.h"
#include "Orv/render/render_state.h"
#include "platform/dynlib.h"
#include "platform/program_path.h"

namespace gl = platform::gl;

namespace {

using FindFn = int (*)(const char* name, const char** vertex, const char** fragment);

constexpr const char* kLibraryName = "libLumo.so";

// The CPU grid path's program: the grid's vertices arrive moved, in the square's clip space.
constexpr const char* kGridVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
layout(location = 1) in vec2 uv;
uniform vec2 clip_scale;
uniform vec4 uv_map;
out vec2 v_uv;
void main() {
  gl_Position = vec4(pos.x * clip_scale.x, -pos.y * clip_scale.y, 0.0, 1.0);
  v_uv = uv * uv_map.xy + uv_map.zw;
}
)";
constexpr const char* kGridFragment = R"(#version 330 core
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
)";

void locate(const platform::GlFunctions& f, GlEffectProgram* p) {
  auto at = [&](const char* name) { return f.GetUniformLocation(p->id, name); };
  p->texture = at("g_Texture");
  p->color = at("color");
  p->target_size = at("target_size");
  p->flip = at("flip");
  p->offset = at("offset");
  p->undulate_x = at("undulate_x");
  p->undulate_y = at("undulate_y");
  p->grid = at("grid");
  p->clip_scale = at("clip_scale");
  p->uv_map = at("uv_map");
  p->texture_width = at("g_TextureWidth");
  p->texture_height = at("g_TextureHeight");
  p->offset_x = at("offset_x");
  p->offset_y = at("offset_y");
  p->level = at("level");
  p->tex_size = at("TexSize");
  p->tex_diff_u = at("TexDiffU");
  p->transform = at("transform");
}

// Builds the program stored as `name`; false (nothing kept) when the library lacks it or the
// driver refuses it.
bool build(GlRenderer* g, FindFn find, const char* name, GlEffectProgram* out) {
  const char* vertex = nullptr;
  const char* fragment = nullptr;
  if (!find(name, &vertex, &fragment) || !vertex || !fragment) return false;
  std::string error;
  platform::GLuint id = gl_program_link(g->f, vertex, fragment, &error);
  if (!id) return false;
  *out = GlEffectProgram{};
  out->id = id;
  locate(g->f, out);
  return true;
}

// Opens the library: the test override alone when set, else dll/ beside the program, then
// (unless dll_only) the loader's search path. The lookup is null when none opened.
FindFn open_library(platform::DynLib* lib, bool dll_only) {
  const char* override_path = orv_render().gl_effect_library;
  if (override_path) {
    *lib = platform::dynlib_open(override_path, true);
  } else {
    *lib = platform::dynlib_open(platform::program_folder_utf8() + "/dll/" + kLibraryName, true);
    if (!lib->handle && !dll_only) *lib = platform::dynlib_open(kLibraryName, true);
  }
  if (!lib->handle) return nullptr;
  auto find = reinterpret_cast<FindFn>(platform::dynlib_symbol(*lib, "LumoProgramFind"));
  if (!find) platform::dynlib_close(*lib);
  return find;
}

void delete_program(GlRenderer* g, GlEffectProgram* p) {
  if (p->id) g->f.DeleteProgram(p->id);
  *p = GlEffectProgram{};
}

}  // namespace

bool gl_effects_make_grid(GlRenderer* g) {
  const platform::GlFunctions& f = g->f;
  GlEffects& e = g->effects;
  e.mesh = gl_grid_mesh(g->frame_side);
  if (e.mesh.vertex_count == 0) return false;
  e.moved = e.mesh.vertices;
  const auto bytes = [](const auto& v) {
    return static_cast<platform::GLsizeiptr>(v.size() * sizeof(v[0]));
  };
  f.GenBuffers(1, &e.grid_indices);
  f.GenBuffers(1, &e.grid_base);
  f.GenBuffers(1, &e.grid_moved);
  f.GenVertexArrays(1, &e.grid_vao);
  f.GenVertexArrays(1, &e.grid_moved_vao);
  const platform::GLuint vaos[2] = {e.grid_vao, e.grid_moved_vao};
  const platform::GLuint vbos[2] = {e.grid_base, e.grid_moved};
  for (int n = 0; n < 2; ++n) {
    f.BindVertexArray(vaos[n]);
    f.BindBuffer(gl::kArrayBuffer, vbos[n]);
    f.BufferData(gl::kArrayBuffer, bytes(e.mesh.vertices), e.mesh.vertices.data(),
                 n == 0 ? gl::kStaticDraw : gl::kDynamicDraw);
    f.VertexAttribPointer(0, 2, gl::kFloat, 0, 4 * sizeof(float), nullptr);
    f.VertexAttribPointer(1, 2, gl::kFloat, 0, 4 * sizeof(float),
                          reinterpret_cast<const void*>(2 * sizeof(float)));
    f.EnableVertexAttribArray(0);
    f.EnableVertexAttribArray(1);
    // The element buffer belongs to the vertex array bound when it is bound.
    f.BindBuffer(gl::kElementArrayBuffer, e.grid_indices);
    if (n == 0) {
      f.BufferData(gl::kElementArrayBuffer, bytes(e.mesh.indices), e.mesh.indices.data(),
                   gl::kStaticDraw);
    }
  }
  f.BindVertexArray(g->vao);
  std::string error;
  e.grid_program.id = gl_program_link(f, kGridVertex, kGridFragment, &error);
  if (!e.grid_program.id) return false;
  locate(f, &e.grid_program);
  return true;
}

bool gl_effects_load(GlRenderer* g) {
  GlEffects& e = g->effects;
  if (g->device_flags & 4) {
    platform::DynLib lib;
    FindFn find = open_library(&lib, false);
    if (!find) {
      error_report("Load Library Error : libLumo.so");
    } else {
      struct Wanted {
        const char* name;
        uint32_t bit;
        GlEffectProgram* program;
        const char* line;
      };
      const Wanted wanted[] = {
          {"DRAW_PRIMITIVE_UP2D", kGlEffectDraw, &e.draw2d,
           "Load Effect Error : LUMO_EFFECT_TYPE_DRAW"},
          {"RASTER", kGlEffectRaster, &e.raster, "Load Effect Error : LUMO_EFFECT_TYPE_RASTER"},
          {"RADIAL_BLUR", kGlEffectRadialBlur, &e.radial_blur,
           "Load Effect Error : LUMO_EFFECT_TYPE_RADIAL_BLUE"},
      };
      for (const Wanted& w : wanted) {
        if (build(g, find, w.name, w.program)) {
          e.loaded |= w.bit;
        } else {
          error_report(w.line);
        }
      }
      platform::dynlib_close(lib);
    }
  }
  if (g->present_filter == 3) {
    platform::DynLib lib;
    FindFn find = open_library(&lib, true);
    e.has_bicubic = find && build(g, find, "BICUBIC", &e.bicubic);
    if (find) platform::dynlib_close(lib);
    if (!e.has_bicubic) {
      error_report("Load Library Error : libLumo.so");
      g->present_filter = 0;
    }
  }
  return true;
}

void gl_effects_release(GlRenderer* g) {
  GlEffects& e = g->effects;
  delete_program(g, &e.draw2d);
  delete_program(g, &e.raster);
  delete_program(g, &e.radial_blur);
  delete_program(g, &e.bicubic);
  gl_effects_drop_grid(g);
  e = GlEffects{};
}

void gl_effects_drop_grid(GlRenderer* g) {
  const platform::GlFunctions& f = g->f;
  GlEffects& e = g->effects;
  delete_program(g, &e.grid_program);
  if (e.grid_vao) f.DeleteVertexArrays(1, &e.grid_vao);
  if (e.grid_moved_vao) f.DeleteVertexArrays(1, &e.grid_moved_vao);
  const platform::GLuint buffers[3] = {e.grid_base, e.grid_moved, e.grid_indices};
  for (platform::GLuint b : buffers) {
    if (b) f.DeleteBuffers(1, &b);
  }
  e.grid_vao = e.grid_base = e.grid_moved_vao = e.grid_moved = e.grid_indices = 0;
  e.mesh = GlGridMesh{};
  e.moved.clear();
}

void gl_draw_raster(GlRenderer* g, platform::GLuint texture, float phase, float amplitude1,
                    float amplitude2, uint32_t color, int32_t target_w, int32_t target_h) {
  const platform::GlFunctions& f = g->f;
  GlEffects& e = g->effects;
  if (!e.grid_program.id || target_w < 1 || target_h < 1) return;
  // Values from a script: NaN and runaway amplitudes are held to what a picture can show.
  auto bounded = [](float v, float lo, float hi) { return v == v ? std::clamp(v, lo, hi) : 0.0f; };
  phase = bounded(phase, 0.0f, 1.0f);
  amplitude1 = bounded(amplitude1, -1e6f, 1e6f);
  amplitude2 = bounded(amplitude2, -1e6f, 1e6f);
  const bool program = (e.loaded & kGlEffectRaster) != 0;
  const GlEffectProgram& p = program ? e.raster : e.grid_program;
  if (program) {
    f.BindVertexArray(e.grid_vao);
  } else {
    gl_grid_displace(e.mesh, phase, amplitude1, amplitude2, &e.moved);
    f.BindVertexArray(e.grid_moved_vao);
    f.BindBuffer(gl::kArrayBuffer, e.grid_moved);
    f.BufferSubData(gl::kArrayBuffer, 0,
                    static_cast<platform::GLsizeiptr>(e.moved.size() * sizeof(float)),
                    e.moved.data());
  }
  f.UseProgram(p.id);
  const float side = static_cast<float>(g->frame_side);
  const float gw = static_cast<float>(target_w), gh = static_cast<float>(target_h);
  f.Uniform2f(p.clip_scale, side / gw, side / gh);
  f.Uniform4f(p.uv_map, side / gw, side / gh,
              -static_cast<float>((g->frame_side - target_w) / 2) / gw,
              -static_cast<float>((g->frame_side - target_h) / 2) / gh);
  auto ch = [color](int shift) { return static_cast<float>((color >> shift) & 255u) / 255.0f; };
  f.Uniform4f(p.color, ch(16), ch(8), ch(0), ch(24));
  f.Uniform1i(p.texture, 0);
  if (program) {
    f.Uniform1f(p.offset, phase);
    f.Uniform1f(p.undulate_x, amplitude1);
    f.Uniform1f(p.undulate_y, amplitude2);
    f.Uniform2i(p.grid, e.mesh.columns, e.mesh.rows);
  }
  f.ActiveTexture(gl::kTexture0);
  f.BindTexture(gl::kTexture2D, texture);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMinFilter, gl::kNearest);
  f.TexParameteri(gl::kTexture2D, gl::kTextureMagFilter, gl::kNearest);
  f.Disable(gl::kScissorTest);
  gl_set_blend(g, kGlModeAlpha);
  f.DrawElements(gl::kTriangles, e.mesh.triangle_count * 3, gl::kUnsignedInt, nullptr);
  ++g->stats.draws;
  f.BindVertexArray(g->vao);
}
