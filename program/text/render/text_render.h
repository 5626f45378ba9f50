// The tag renderer of the game's text: Shift-JIS messages with a small markup, laid out glyph
// by glyph with the platform font into a sprite's pixels (or only measured).
//
// A message goes through text_expand first (player name, memory-value fields), then through
// draw_text_tagged. The same renderer draws the speaker name, the message, the page of page
// mode, the backlog, the text-time preview and layer texts; save_text_wrap lays out the save
// text of a save slot with the same glyph rules and no tags.
//
// Character units (walked with the renderer's Shift-JIS units, shared/sjis_units.h):
//   - a two-byte character: lead 0x81-0x9F or 0xE0-0xFC, trail 0x40-0xFC;
//   - a value field: "%" and decimal digits, at most 7 bytes (drawn as an extra-font glyph);
//   - an escape: "\" and any byte other than the terminator, drawn as that byte;
//   - a tag: "<" up to the next ">" (an unclosed "<" runs to the end of the text);
//   - any other byte: a one-byte character.
// No scan ever reads past the terminating zero.
//
// Markup of draw_text_tagged (names case-sensitive; tags do not nest):
//   "<br>" line break; "<center>" the rest as one centred line; "<s" n ">" size n, "</s>" back
//   to the call's size; "<g>" / "</g>" font type; "<reset>" line pitch and colours back to the
//   call's; "<r" reading ">" base "</r>" ruby; "<c#RRGGBB>" or "<c#RRGGBB#RRGGBB>" colours,
//   "</c>" back to the call's; "<d" n ">" word "</d>" a tips word (text_tips.h); any other tag
//   is skipped.
//
// The font state is the platform's and process-wide: draw_text_tagged restores size, type and
// colours when it ends, also when a glyph failed to draw.
//
// Thread: the thread that runs the script (holding the render lock while it draws into sprite
// pixels).
#pragma once

#include <cstddef>
#include <cstdint>

#include "orv/types.h"

namespace engine {
struct VmContext;
}

namespace textrender {

// ---- settings the renderer reads ----

// The renderer's and the reveal's settings, written by the settings commands; one record for
// the program, not saved. text_render_settings_default() gives the start values.
struct TextRenderSettings {
  int32_t nLineInterval;   // pixels added to the char size between lines
  int32_t nWidthOffset;    // added to the right of the sprite's source rectangle
  int32_t nHeightOffset;   // added to its bottom
  int32_t nPitch;          // extra horizontal advance per glyph
  uint32_t bWrap;          // 0: break once the previous glyphs reached the right edge
  uint32_t bRubyOffsetOn;  // ruby band = ruby size + 1 (on) or ruby size - 2 (off)
  uint32_t dwRevealType;   // 0 wipe, else glyph order
  uint32_t bFade;          // the 64-pixel soft edge
  uint32_t bSpaceSkip;
  uint32_t dwPaintColour;  // ARGB that clears the name, message and page sprites
  // Set by the backlog window while it is open: tips words are then not recorded.
  uint32_t bBacklogOpen;
};
TextRenderSettings text_render_settings_default();

// The layout quantities of one call.
// ruby offset: 0 when ruby_size is 0, else ruby_size + 1 (bRubyOffsetOn) or ruby_size - 2.
int32_t text_ruby_offset(const TextRenderSettings& settings, int32_t ruby_size);
// base line pitch: line interval + (2 for font effect 3) + char size + ruby offset.
int32_t text_base_line_pitch(const TextRenderSettings& settings, int32_t char_size,
                             int32_t ruby_size, int32_t font_effect);

// ---- glyph rectangles and the reveal ----

// One drawn glyph in sprite pixels: the font's rectangle, top lowered by the ruby offset (not
// below 0), right grown by the pitch.
struct GlyphRect {
  int32_t left, top, right, bottom;
};
static_assert(sizeof(GlyphRect) == 16);

// A growable array of rectangles; zero is an empty list. Storage from malloc, kept when
// cleared; glyph_rects_free releases it.
struct GlyphRectList {
  GlyphRect* pItems;
  uint32_t nCount;
  uint32_t nCapacity;
};
// Appends; false (list unchanged) when memory ran out.
bool glyph_rects_push(GlyphRectList& list, const GlyphRect& rect);
bool glyph_rects_append(GlyphRectList& list, const GlyphRectList& more);
void glyph_rects_clear(GlyphRectList& list);
void glyph_rects_free(GlyphRectList& list);

// The text window's reveal record. The renderer only touches the glyph lists, the line pitch
// and reads the width; the buffers and the reveal functions belong to the text window.
struct RevealState {
  uint32_t bReady;          // the current text has been captured
  uint8_t* lpAlpha;         // saved alpha per pixel of the area
  uint32_t* lpOrder;        // order per pixel (32-bit: large windows would wrap 16 bits)
  int32_t nWidth;           // area width: the given width raised to a multiple of 4, plus 8
  int32_t nHeight;          // area height
  int32_t nLinePitch;       // current line pitch (grows with size tags; area height after
                            // "<center>")
  int32_t nBaseLinePitch;   // text_base_line_pitch at reveal_init
  uint32_t dwSize;          // nWidth x nHeight
  GlyphRectList lineRects;  // glyphs of the last draw_text_tagged call that had this record
  GlyphRectList keptRects;  // glyphs of the earlier parts of a continued line
};

// ---- drawing ----

// One call of the renderer.
struct TextDrawRequest {
  OrvHandle hSprite;      // 0: measure only, against width and height
  const char* text;       // zero-terminated Shift-JIS markup; null draws nothing
  int32_t x, y;           // start position in sprite pixels
  int32_t width;          // text area width (glyphs may overhang it on the right)
  int32_t height;         // text area height: a line that would cross it is not drawn
  int32_t charSize;       // font size of the call (sizes restore to it)
  int32_t rubySize;       // 0: no ruby band
  uint32_t colour;        // text colour 0x00RRGGBB (the call's colour pair)
  uint32_t shadowColour;  // outline or shadow colour
};

struct TextDrawResult {
  int32_t distance;     // the reveal distance (the value draw_text_tagged returns)
  int32_t x, y;         // where the text ended (the start position when skipped)
  int32_t glyphSum;     // sum of drawn glyph widths (right + pitch - left)
  uint32_t glyphs;      // glyphs drawn (with a rectangle)
  int32_t linePitch;    // current line pitch at the end
  uint8_t bSkipped;     // a scene or history skip ran: nothing done
  uint8_t bCut;         // the text went past the area's bottom; the rest was not drawn
  uint8_t bFontFailed;  // the font failed a glyph; drawing stopped there
};

// Lays out request.text. With a sprite: locks it, draws every glyph with OrvFontDrawText,
// unlocks it and sets its source rectangle to (0, 0, width offset + width + char size,
// height offset + line pitch + end y). With a RevealState: clears its lineRects and records
// every drawn glyph's GlyphRect. Records tips words in vm.tips (unless bBacklogOpen).
//
// Result distance: 0 during a scene or history skip (nothing drawn or written), after a failed
// glyph, or without a RevealState; otherwise in the line wipe (reveal type 0, fade on, space
// skip off) 64 + (new-line rectangles after the first) x reveal width + the last rectangle's
// right over keptRects then lineRects; else glyph sum + 64.
//
// Font: begins and ends it; on return size, type and colours are the values before the call
// (colours: the call's colour pair). Logs (key 0) "### ERROR: TEXT %%VALUE overflow: %s" for
// value fields over 7 bytes and "ruby error : not </r> : %s" for ruby without "</r".
TextDrawResult draw_text_tagged(engine::VmContext& vm, const TextRenderSettings& settings,
                                const TextDrawRequest& request, RevealState* reveal);

// The classic form: x and y (null: 0) are read as the start and receive the end (not written
// during a skip); returns the reveal distance.
int32_t draw_text_tagged(engine::VmContext& vm, const TextRenderSettings& settings,
                         OrvHandle sprite, const char* text, int32_t* x, int32_t* y, int32_t width,
                         int32_t height, int32_t char_size, int32_t ruby_size, uint32_t colour,
                         uint32_t shadow_colour, RevealState* reveal);

// ---- text preparation ----

// Expands src into dst (capacity bytes, zero-terminated; capacity 0 writes nothing):
//   "/n" at a unit boundary: the player name (vm.playerName);
//   "&" letter "[" index "]": the word of system ("f"), user ("m") or temporary ("t") memory as
//     full-width digits, a negative value after the full-width minus (0x81 0x7C); an index
//     outside its memory or another letter reads 0 (key-0 line); an "&" with no "]" is copied;
//   tags, two-byte characters and value fields are copied whole.
// Stops before a unit that would not fit, so the result always ends on a whole unit. Returns
// the length written (without the terminator).
size_t text_expand(engine::VmContext& vm, char* dst, size_t capacity, const char* src);

// The callers' message buffers.
constexpr size_t kTextBufferBytes = 4096;

// Lays out a save slot's text into dst (capacity bytes, kTextBufferBytes for the save text):
// tags dropped, characters and value fields copied, a line feed where a line reaches width,
// lines of size + 2; when the next line would cross height, the last whole character written
// is replaced by the ellipsis (0x81 0x63) and the layout ends. Never writes past capacity;
// always terminated. Returns 1.
int save_text_wrap(char* dst, size_t capacity, const char* text, int32_t width, int32_t height,
                   int32_t size);

// Appends text to the zero-terminated markup in buffer (capacity bytes). Returns false and
// changes nothing when the whole text does not fit beside what is there (the caller starts a
// new page and appends again); on an empty buffer a text that is too long is cut on a unit
// boundary (key-0 line) and the call returns true.
bool page_buffer_append(char* buffer, size_t capacity, const char* text);

// ---- line rules ----

// The 35 two-byte codes that may not begin a line (ideographic space, 、。？！々ー―…）」』】
// and the small kana).
bool text_is_kinsoku(uint16_t code);

}  // namespace textrender
