// Text: one 47-character line at 24 px in the Gothic face, measured and then drawn (every
// glyph fetched twice, as a text sprite does), against the same line with the size
// alternating 24 / 28 px from character to character. The plain line is the peer: a size
// change should cost little beside the glyphs. Each is timed warm (the faces and glyphs kept
// from the line before) and cold (the line first after the font was let go: faces opened and
// every glyph rendered), in processor time. Each figure is the median of nine runs, plain and
// alternating runs taking turns. Also printed: the face lookup (fontconfig, once for the four
// faces; the library does it on the work thread at start-up) and the cost of one change of size.
// Aim: the alternating line within 1.2 times the plain one.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "Orv/render/font/font_session.h"
#include "Orv/render/font/font_state.h"

namespace {

// Processor time in seconds: on a loaded machine the time the process waits for a processor
// would swamp a line of a microsecond.
double cpu_seconds() {
  return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

constexpr int kChars = 47;
constexpr int kColdLines = 40;
constexpr int kWarmLines = 100000;  // a warm line takes a fraction of a microsecond

// Kana, kanji and ASCII in Shift-JIS codes, as a line of a scene's text mixes them.
std::vector<uint16_t> line_codes() {
  std::vector<uint16_t> codes;
  for (int i = 0; i < kChars; ++i) {
    if (i % 6 == 5)
      codes.push_back(static_cast<uint16_t>('A' + i % 26));
    else if (i % 6 == 4)
      codes.push_back(static_cast<uint16_t>(0x88A0 + i));  // kanji
    else
      codes.push_back(static_cast<uint16_t>(0x82A0 + (i * 7) % 80));  // hiragana
  }
  return codes;
}

// Lets the opened faces and rendered glyphs go, as fonts_release does (the face files that
// fontconfig named are kept: the lookup is start-up's).
void let_go(FontState& s) {
  font_forget_faces(s);
  for (auto& file : s.face_opened) file.reset();
}

bool g_cold = false;

// Seconds per line: measure pass and draw pass, the size alternating when alternate; cold
// lines begin with nothing kept.
double run(FontState& s, bool alternate) {
  const std::vector<uint16_t> codes = line_codes();
  // The size of each character, read from a table by both lines alike, as a caller reads it
  // from the text's markup: what differs between the lines is the change of size alone.
  std::vector<uint16_t> sizes(codes.size(), 24);
  if (alternate)
    for (size_t i = 1; i < sizes.size(); i += 2) sizes[i] = 28;
  size_t sink = 0;
  const double start = cpu_seconds();
  double cold_seconds = 0;
  const int lines = g_cold ? kColdLines : kWarmLines;
  for (int line = 0; line < lines; ++line) {
    // Only cold lines are timed one by one (the letting go is not counted): reading the clock
    // costs about as much as a warm line.
    double cold_start = 0;
    if (g_cold) {
      let_go(s);
      cold_start = cpu_seconds();
    }
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < kChars; ++i) {
        const uint16_t size = sizes[i];
        if (!s.begun || s.size != size) {
          font_end(s);
          s.size = size;
          font_begin(s);
        }
        sink += font_glyph(s, codes[i]).bits.size();
      }
    }
    if (g_cold) cold_seconds += cpu_seconds() - cold_start;
  }
  const double end = cpu_seconds();
  font_end(s);
  if (sink == 0) return -1;
  if (g_cold) return cold_seconds / lines;
  return (end - start) / lines;
}

// Medians of kRuns runs of the plain and the alternating line, taking turns; false when nothing
// was drawn.
bool medians(FontState& s, double* plain, double* alternating) {
  constexpr int kRuns = 9;
  std::vector<double> t[2];
  for (int i = 0; i < kRuns; ++i) {
    for (int alternate = 0; alternate < 2; ++alternate) {
      const double v = run(s, alternate != 0);
      if (v < 0) return false;
      t[alternate].push_back(v);
    }
  }
  for (auto& v : t) std::sort(v.begin(), v.end());
  *plain = t[0][kRuns / 2];
  *alternating = t[1][kRuns / 2];
  return true;
}

}  // namespace

int main() {
  FontState s;
  s.type = 0;
  s.size = 24;
  const double lookup_start = cpu_seconds();
  font_begin(s);  // the face lookup: apart from the line figures
  const double lookup = cpu_seconds() - lookup_start;
  font_end(s);
  std::printf("first begin (fontconfig lookup of the four faces, one face opened): %.1f ms\n",
              lookup * 1e3);
  for (bool cold : {false, true}) {
    g_cold = cold;
    double plain = 0, alternating = 0;
    if (!medians(s, &plain, &alternating)) {
      std::printf("text_line: no Japanese face drew anything\n");
      return 1;
    }
    const char* when = cold ? "cold" : "warm";
    std::printf("%s: %-28s %10.2f us per line\n", when, "47 characters at 24 px", plain * 1e6);
    std::printf("%s: %-28s %10.2f us per line\n", when, "47 characters, 24 / 28 px",
                alternating * 1e6);
    if (!cold) {
      // 94 fetches per line; 2 * 46 changes of size in the alternating one.
      std::printf("warm: a glyph fetch %.1f ns, a change of size %.1f ns\n", plain / 94 * 1e9,
                  (alternating - plain) / 92 * 1e9);
    }
    std::printf("%s: alternating sizes take %.2f of the plain line (aim: at most 1.20)\n", when,
                alternating / plain);
  }
  return 0;
}
