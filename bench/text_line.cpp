// Text: one 47-character line at 24 px in the Gothic face, measured and then drawn (every
// glyph fetched twice, as a text sprite does), against the same line with the size
// alternating 24 / 28 px from character to character. The plain line is the peer: a size
// change should cost little beside the glyphs. Each is timed warm (the faces and glyphs kept
// from the line before) and cold (the line first after the font was let go: faces opened and
// every glyph rendered). Each figure is the median of five runs.
// Aim: the alternating line within 1.2 times the plain one.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "Orv/render/font/font_session.h"
#include "Orv/render/font/font_state.h"

namespace {

constexpr int kChars = 47;
constexpr int kLines = 40;

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
  font_end(s);
  s.face = nullptr;
  s.glyphs = nullptr;
  s.face_type = -1;
  s.faces.clear();
  s.glyphs_kept = 0;
  for (auto& file : s.face_opened) file.reset();
}

bool g_cold = false;

// Seconds per line: measure pass and draw pass, the size alternating when alternate; cold
// lines begin with nothing kept.
double run(FontState& s, bool alternate) {
  const std::vector<uint16_t> codes = line_codes();
  size_t sink = 0;
  const auto start = std::chrono::steady_clock::now();
  double cold_seconds = 0;
  for (int line = 0; line < kLines; ++line) {
    auto cold_start = std::chrono::steady_clock::now();
    if (g_cold) {
      let_go(s);
      cold_start = std::chrono::steady_clock::now();
    }
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < kChars; ++i) {
        const uint16_t size = alternate && (i & 1) ? 28 : 24;
        if (!s.begun || s.size != size) {
          font_end(s);
          s.size = size;
          font_begin(s);
        }
        sink += font_glyph(s, codes[i]).bits.size();
      }
    }
    cold_seconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - cold_start).count();
  }
  const auto end = std::chrono::steady_clock::now();
  font_end(s);
  if (sink == 0) return -1;
  if (g_cold) return cold_seconds / kLines;
  return std::chrono::duration<double>(end - start).count() / kLines;
}

double median(FontState& s, bool alternate) {
  std::vector<double> t;
  for (int i = 0; i < 5; ++i) {
    const double v = run(s, alternate);
    if (v < 0) return -1;
    t.push_back(v);
  }
  std::sort(t.begin(), t.end());
  return t[t.size() / 2];
}

}  // namespace

int main() {
  FontState s;
  s.type = 0;
  s.size = 24;
  font_begin(s);  // the face lookup (fontconfig) is not part of the figures
  font_end(s);
  for (bool cold : {false, true}) {
    g_cold = cold;
    const double plain = median(s, false);
    const double alternating = median(s, true);
    if (plain < 0 || alternating < 0) {
      std::printf("text_line: no Japanese face drew anything\n");
      return 1;
    }
    const char* when = cold ? "cold" : "warm";
    std::printf("%s: %-28s %10.1f us per line\n", when, "47 characters at 24 px", plain * 1e6);
    std::printf("%s: %-28s %10.1f us per line\n", when, "47 characters, 24 / 28 px",
                alternating * 1e6);
    std::printf("%s: alternating sizes take %.2f of the plain line (aim: at most 1.20)\n", when,
                alternating / plain);
  }
  return 0;
}
