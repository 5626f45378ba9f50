// Sprite filters: the exports that filter a sprite as a whole (orv/exports.h, "effects,
// filters and transitions").
//
// Filters work on the cell-sized rectangle at the top-left of each image, the cell bounded by
// the image size. Each reads its source into a private buffer (cell_buffer.h), so that the
// slow ones can leave the render lock on the work thread while they compute, and writes the
// result through the destination's handle, looked up again afterwards (a sprite released
// meanwhile is simply not written). Call with the render lock held, from the game thread or
// the work thread. A destination may be its own source. All kernels come from kernels.h.
//
// image_option.cpp
//   OrvSpriteSetOption(sprite, option)   1; 0 (last error 6) without sprite or image.
//     0 restores the kept copy and frees it (last error 0), or sets last error 6 when there is
//     none. Any other option first keeps a copy of the image when none is kept (last error 0,
//     or 5 without memory), then filters the current pixels, so options add up until 0:
//     1 tone table, 2 grey, 3 Filter3x3, 4 negative, 0x105..0x805 blur level (option >> 8) - 1
//     on a half-size copy scaled back bilinearly; other options (0x905) filter nothing.
// stretch_image.cpp
//   StretchImage(dst, src, mode)   the whole source image onto the whole destination image:
//     equal sizes copy; mode 0 nearest, 2 bilinear (7-bit), 1 each byte with the one-byte
//     bilinear scaler (8-bit fractions, neighbours past the edge 0); other modes nothing. 1.
// blurs.cpp (1; 0 when the cells differ in size or are empty, or memory is out)
//   OrvBoxBlurFilter(dst, src, rx, ry, passes)   passes x (horizontal box of 2 rx + 1, then
//     vertical of 2 ry + 1), ends repeated, integer means; radii below 0 count as 0; 0 passes
//     copy the source.
//   OrvGaussianBlurFilter(dst, src, level)   BlurKernel16 at level 0-7 (0 for other levels).
//   OrvMotionBlurFilter(dst, src, length, angle (radians), density)   2 length density samples
//     in 16.16 fixed point from (x - length cos, y - length sin) by (cos, sin) / density; colour
//     the alpha-weighted mean, alpha the alpha sum / samples; a length or density of 0 or less
//     copies the source.
//   OrvAlphaCopyFilter(dst, src, level 0-255)   k = level x channel / 255 of the source
//     sprite's colour; kA or level 0 clears the destination cell; else alpha 0 gives 0, alpha
//     255 colour (c k + 255) >> 8, other alphas (a ((c k + 255) >> 8) + 255) >> 8 with alpha a.
//     No work-thread gap (fast).
// warps.cpp (sample positions are truncated and clamped to the picture; NaN counts as 0)
//   OrvSpriteSwirlBlur(dst, src, RECT*, angle, strength)   the region (cut to the cell) at half
//     size is swirled about its centre (k = max(0, 1 - d / R)), radially blurred over 4 samples
//     with alpha 255, and doubled back; the whole cell then goes to dst.
//   OrvSpriteWallSpringEffect(dst, src, cx, cy, power, unused)   radial warp inside radius
//     cell width / 2 with exponent 1 / power above 1, -power below 1, 0.999000966... at 1.
//     1; 0 when the cells differ.
//   OrvSpriteWaveformWarp(dst, src, phase, amplitude, wavelength, speed, degrees, type)   each
//     pixel moved across the wave direction by amplitude x wave(along / wavelength + phase x
//     speed); type 0 sine, 1 triangle, 2 noise, others 0; wavelength 0 counts as 1; the images
//     must have one size.
#pragma once
