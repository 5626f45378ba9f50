// Pixel operations between sprites: the exports that script commands use to edit sprite
// pixels directly (orv/exports.h, "sprites").
//
// Pixels are 32-bit ARGB (bytes B, G, R, A; channel 0 = B .. 3 = A). Every operation holds the
// busy flag of the sprites it touches (pixel_access.h), works inside the image (never the
// storage past it), and marks written images changed. Call under the render lock. A null or
// released sprite sets the last error to 6 and the operation returns at once (0 where it has a
// result).
//
// Rectangles of two sprites are clipped alike (clip_span): a negative origin on one side moves
// the other side's origin and shrinks the size, then the size is cut at the right and bottom
// edges of both images. The copy family (OrvCopySpriteToSprite*, OrvCopySpriteToSpriteChannel)
// first applies its own rule: a negative source x makes the destination x minus the source x
// and the source x 0 (likewise y).
//
// sprite_masks.cpp
//   OrvSpriteMaskAlpha(sprite, x, y, w, h, OrvAlphaMask*, mx, my)   alpha = alpha * m >> 8, m
//     the mask pixel's first byte at the matching place. OrvSpriteMaskAlpha2: (255 - m).
//   OrvSpriteMaskAlphaEx(..., mask sprite, mx, my, flags)   the same from a sprite; flags bit 0
//     inverts.
//   OrvSpriteApplyAlphaMask(sprite, x, y, w, h, mask, mx, my, xdiv, ydiv)   the mask tiled and
//     stretched: pixel (i, j) of the rectangle takes the mask at (fmod(i / xdiv + mx, mask w),
//     fmod(j / ydiv + my, mask h)), raised by the size when negative. The rectangle is cut to
//     the image; a divisor below 1 does nothing.
//   OrvSpriteDisplacementMap(dst, x, y, w, h, map, mx, my, mxdiv, mydiv, src, sx, sy, ax, ay)
//     dst(x + i, y + j) = src(sx + i + dx, sy + j + dy) with dx = ax (B - 128) 257 >> 16 and
//     dy = ay (G - 128) 257 >> 16 of the tiled map pixel ((mx + i / mxdiv) mod map w, ...);
//     pixels whose source lies outside stay. A divisor below 1 does nothing.
// sprite_fills.cpp
//   OrvSpriteBoxFill(sprite, x, y, w, h, argb)   nothing for w or h <= 0.
//   OrvSpriteCircleFill(sprite, cx, cy, radius, argb)   midpoint disc; nothing for radius < 1
//     (radius 1 is the centre and its four neighbours).
//   OrvSpriteSetBuffer(sprite, pixels, width, height)   copies the caller's tightly packed rows
//     to the top-left, cut to the image. 1 (also for null pixels or empty sizes).
//   OrvSpriteStretchBlt(dst, dx, dy, dw, dh, src, sx, sy, sw, sh)   nearest-neighbour stretch:
//     both rectangles are clipped with the cut carried over in proportion (integer); dst row r
//     reads source row sy + r sh / dh, column likewise.
// sprite_blends.cpp (1; 0 for w or h 0 or a null sprite)
//   OrvMixSpriteToSprite(dst, dx, dy, w, h, src, sx, sy)   source alpha a: 0 keeps, 255 takes
//     the colour, else (a s + (255 - a) d) >> 8; destination alpha kept.
//   OrvMixSpriteToSpriteEx   source over destination: u = da (255 - sa) / 255, alpha sa + u,
//     colour (s sa + d u) / (sa + u); 0 when sa + u is 0.
//   OrvSpriteDeleteNoAlpha(sprite, x, y, w, h)   alpha-0 pixels become 0.
//   OrvSpriteDeleteNoAlpha255   alpha-0 pixels become 0, every other pixel gets alpha 255.
// sprite_copies.cpp (1; 0 for w or h 0, a null sprite or a channel outside 0-3)
//   OrvCopySpriteToSpriteChannel(dst, dx, dy, dch, src, sx, sy, w, h, sch)   one byte channel.
//   OrvCopySpriteToSpriteRGB(dst, dx, dy, src, sx, sy, w, h)   whole pixels (four bytes).
//   OrvCopySpriteToSpriteRGBStr(dst, dx, dy, -, -, src, sx, sy, w, h)   the same.
//   OrvCopySpriteToSpriteRectRGB(dst, src)   copies src's cell at its rectangle's top-left to
//     dst at src's truncated position.
//   OrvGetPixel(sprite, x, y) / OrvSetPixel(sprite, x, y, argb)   inside the cell size bounded
//     by the image size; outside: 0 / nothing.
//   OrvChannelCopyEx(dst, RECT*, dch, src, sx, sy, sch, mode)   RECT cut to dst's cell, the
//     source start following the cut, then cut to src's cell (cells bounded by the images);
//     mode 0 d = s, 1 d = min(d + s, 255), 2 d = (s d 257 + 32896) >> 16. 0 for a null
//     argument, a bad channel or mode, or an empty rectangle. dst and src may be one sprite.
//   OrvSpriteSetAddressUV(sprite, mode)   texture address mode of the GPU draw.
//   OrvSpriteSetRotateResolution(sprite, units)   rotation units per turn as a float; 1.
// screen_copy.cpp
//   OrvSpriteBackBafferCopy(sprite)   copies the frame (game size) into the top-left; nothing
//     when the image is smaller than the frame. 1.
//   OrvSpriteRenderCopy(sprite)   the software renderer has no render target: nothing. 1.
// file_blend.cpp
//   OrvCopyFileToSpriteRGB(sprite, dx, dy, path, sx, sy, w, h)   blends a rectangle of a GE,
//     BMP or TGA file (file_blend.h) into the sprite with OrvMixSpriteToSprite's formula.
//     0 (one line on stderr naming the file) when the file is missing or not such a picture,
//     or sx, sy lie outside 0..file size; w or h below 0 or above the file's size take the
//     file's size; the rectangle is then clipped as above. 1 otherwise.
#pragma once
