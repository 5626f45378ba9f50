// An effect library whose RASTER program does not compile and which has no RADIAL_BLUR: the
// GL peer must keep the good program, leave the other bits clear and say which failed.
#include <cstring>

namespace {

constexpr const char* kVertex = R"(#version 330 core
layout(location = 0) in vec2 pos;
void main() { gl_Position = vec4(pos, 0.0, 1.0); }
)";
constexpr const char* kFragment = R"(#version 330 core
uniform sampler2D g_Texture;
out vec4 frag;
void main() { frag = texture(g_Texture, vec2(0.5)); }
)";
constexpr const char* kBrokenFragment = R"(#version 330 core
out vec4 frag;
void main() { frag = undeclared_value; }
)";

}  // namespace

extern "C" __attribute__((visibility("default"))) int LumoProgramFind(const char* name,
                                                                      const char** vertex,
                                                                      const char** fragment) {
  if (std::strcmp(name, "DRAW_PRIMITIVE_UP2D") == 0 || std::strcmp(name, "BICUBIC") == 0) {
    *vertex = kVertex;
    *fragment = kFragment;
    return 1;
  }
  if (std::strcmp(name, "RASTER") == 0) {
    *vertex = kVertex;
    *fragment = kBrokenFragment;
    return 1;
  }
  return 0;
}
