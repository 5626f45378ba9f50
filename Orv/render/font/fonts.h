// The font exports (orv/exports.h, block "fonts"): one current font for all text drawing.
//
// Contract of each export; every one takes FontState::mutex, so calls from several threads are
// serialised, but a begin ... draw ... end sequence shares the state and belongs to one thread.
//
// OrvFontBegin()            prepares the current type and size (font_session.h); 1.
// OrvFontEnd()              ends a begun font; nothing when not begun.
// OrvFontGetSize(text, out) out[0..1] = measured width and height (text_layout.h); begins and
//                           ends the font itself when not begun; 1 (0 for a null out).
// OrvFontDrawText(pixels, text, x, y, width, height)
//                           draws into a width x height buffer of 0xAARRGGBB pixels, clipped;
//                           begins and ends itself when not begun; 1 (0 for a null buffer).
// OrvFontGetDrawTextRect(out)  out[0..4] = left, top, right, bottom, black-box width of the
//                           last glyph drawn (out may be null); returns that width.
// OrvFontHasDrawTextRect()  whether a glyph, space or extra glyph was drawn by the last draw.
// OrvDrawTextStepX(effect)  1 for effects 0-2, 2 for effect 3, else 0.
// OrvFontGetColor(text, effect) / OrvFontSetColor(text, effect)
//                           colours 0x00RRGGBB; null pointers are skipped.
// OrvFontGetEffect / OrvFontSetEffect, OrvFontGetFontSize / OrvFontSetFontSize
//                           any value is stored (sizes as 16 bits); only effects 0-3 draw.
// OrvFontGetType / OrvFontSetType  type 4 (bitmap font) is refused with 0 while none is loaded;
//                           the change takes effect at the next begin.
// OrvFontOrgSetLoad(path), OrvFontLoad(path)
//                           loads a bitmap font (bitmap_font.h) and makes it current; a name
//                           already loaded changes nothing; 1, or 0 when the file is missing
//                           or is not a bitmap font (one line on stderr naming it).
// OrvFontUnload()           frees every bitmap font.
// OrvExFontLoad(path)       loads the extra font (extra_font.h); 1, or 0 when missing or refused.
// OrvExFontUnload()         frees it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Start-up: the font defaults (type 0, size 24, white text, black effect colour, no effect).
void fonts_set_defaults();
// Posts fonts_look_up_faces to the work thread, once per start. Called when the first frame
// has been shown: the lookup loads the font configuration (several milliseconds of processor
// time), which would otherwise compete with start-up for the processor, and done early on the
// work thread the first text still rarely waits for it. Any thread.
void fonts_look_up_faces_soon();
// Asks fontconfig for the four system faces' files unless that was done (the first begin of a
// system face does it otherwise). Any thread; the slow lookup runs outside FontState::mutex.
void fonts_look_up_faces();
// Shutdown: ends the font and frees the bitmap fonts, the extra font and the open face.
void fonts_release();

// File reading of the font loaders: through the game's file layer (search paths and archives,
// RenderState::read_file) once it is installed, else the path as a loose file.
bool font_read_file(const char* path, std::vector<uint8_t>* out);
