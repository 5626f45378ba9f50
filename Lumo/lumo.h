// The effect library's one entry: the GLSL program stored under a resource name.
//
// libLumo.so holds text only. Each resource is a vertex and a fragment program for
// `#version 330 core`; their uniforms carry the names of the effect's parameters:
//   "DRAW_PRIMITIVE_UP2D"  a textured quad: g_Texture, color
//   "RASTER"               the raster wave drawn as a displaced screen grid: g_Texture, offset,
//                          undulate_x, undulate_y (see programs/raster.vert)
//   "RADIAL_BLUR"          a sprite's quad blurred towards a centre: g_Texture, g_TextureWidth,
//                          g_TextureHeight, offset_x, offset_y, level, color, and transform
//                          (the sprite's model space to clip space; see programs/radial_blur.vert)
//   "BICUBIC"              the presentation filter (Catmull-Rom): g_Texture, TexSize, TexDiffU
// The other quads give attribute 0 as the position in target pixels (row 0 the picture's top)
// and attribute 1 as the texture coordinate, with the uniform target_size; see each source.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

// Finds the program stored as `name`: 1 with *vertex and *fragment pointing at the library's
// NUL-terminated texts (valid while the library is loaded), 0 when it holds no such program
// (the outputs are left alone then).
__attribute__((visibility("default"))) int LumoProgramFind(const char* name, const char** vertex,
                                                           const char** fragment);

#ifdef __cplusplus
}
#endif
