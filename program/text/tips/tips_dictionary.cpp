#include "text/tips/tips_dictionary.h"

#include <algorithm>
#include <cstring>

namespace tips {

TipsDictionary tips_dictionary;

namespace {

constexpr size_t kKanaTableBytes = 98;
constexpr size_t kKanaRowBytes = 10;

// The gojuon tables: rows of five full-width characters, a full-width space where a row has
// no character; searched in this order.
const char* const kKanaTables[] = {
    // あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもや　ゆ　よらりるれろわゐゑを
    "\x82\xa0\x82\xa2\x82\xa4\x82\xa6\x82\xa8\x82\xa9\x82\xab\x82\xad\x82\xaf\x82\xb1"
    "\x82\xb3\x82\xb5\x82\xb7\x82\xb9\x82\xbb\x82\xbd\x82\xbf\x82\xc2\x82\xc4\x82\xc6"
    "\x82\xc8\x82\xc9\x82\xca\x82\xcb\x82\xcc\x82\xcd\x82\xd0\x82\xd3\x82\xd6\x82\xd9"
    "\x82\xdc\x82\xdd\x82\xde\x82\xdf\x82\xe0\x82\xe2\x81\x40\x82\xe4\x81\x40\x82\xe6"
    "\x82\xe7\x82\xe8\x82\xe9\x82\xea\x82\xeb\x82\xed\x82\xee\x82\xef\x82\xf0",
    // 　　　　　がぎぐげござじずぜぞだぢづでど　　　　　ばびぶべぼ　　　　　　　　　　　　　　　　　　ん
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x82\xaa\x82\xac\x82\xae\x82\xb0\x82\xb2"
    "\x82\xb4\x82\xb6\x82\xb8\x82\xba\x82\xbc\x82\xbe\x82\xc0\x82\xc3\x82\xc5\x82\xc7"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x82\xce\x82\xd1\x82\xd4\x82\xd7\x82\xda"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x82\xf1",
    // ぁぃぅぇぉ　　　　　　　　　　　　　　　　　　　　ぱぴぷぺぽ　　　　　ゃ　ゅ　ょ　　　　　ゎ　　ん
    "\x82\x9f\x82\xa1\x82\xa3\x82\xa5\x82\xa7\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x82\xcf\x82\xd2\x82\xd5\x82\xd8\x82\xdb"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x82\xe1\x81\x40\x82\xe3\x81\x40\x82\xe5"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x82\xec\x81\x40\x81\x40\x82\xf1",
    // アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤ　ユ　ヨラリルレロワヰヱヲ
    "\x83\x41\x83\x43\x83\x45\x83\x47\x83\x49\x83\x4a\x83\x4c\x83\x4e\x83\x50\x83\x52"
    "\x83\x54\x83\x56\x83\x58\x83\x5a\x83\x5c\x83\x5e\x83\x60\x83\x63\x83\x65\x83\x67"
    "\x83\x69\x83\x6a\x83\x6b\x83\x6c\x83\x6d\x83\x6e\x83\x71\x83\x74\x83\x77\x83\x7a"
    "\x83\x7d\x83\x7e\x83\x80\x83\x81\x83\x82\x83\x84\x81\x40\x83\x86\x81\x40\x83\x88"
    "\x83\x89\x83\x8a\x83\x8b\x83\x8c\x83\x8d\x83\x8f\x83\x90\x83\x91\x83\x92",
    // 　　ヴ　　ガギグゲゴザジズゼゾダヂヅデド　　　　　バビブベボ　　　　　　　　　　　　　　　　　　ン
    "\x81\x40\x81\x40\x83\x94\x81\x40\x81\x40\x83\x4b\x83\x4d\x83\x4f\x83\x51\x83\x53"
    "\x83\x55\x83\x57\x83\x59\x83\x5b\x83\x5d\x83\x5f\x83\x61\x83\x64\x83\x66\x83\x68"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x83\x6f\x83\x72\x83\x75\x83\x78\x83\x7b"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x83\x93",
    // ァィゥェォ　　　　　　　　　　　　　　　　　　　　パピプペポ　　　　　ャ　ュ　ョ　　　　　ヮ　　ン
    "\x83\x40\x83\x42\x83\x44\x83\x46\x83\x48\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x83\x70\x83\x73\x83\x76\x83\x79\x83\x7c"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x83\x83\x81\x40\x83\x85\x81\x40\x83\x87"
    "\x81\x40\x81\x40\x81\x40\x81\x40\x81\x40\x83\x8e\x81\x40\x81\x40\x83\x93",
};

bool is_lead(uint8_t b) {
  return b >= 0x80;
}

// The CSV reader's position in the bytes.
struct CsvCursor {
  const uint8_t* p;
  const uint8_t* end;

  bool at(uint8_t b) const { return p < end && *p == b; }
  void skip_if(uint8_t b) {
    if (at(b)) ++p;
  }

  // One field; false when no data is left after it (the record it belongs to then ends the
  // reading).
  bool field(std::string* out) {
    out->clear();
    bool started = false;
    while (p < end && *p != ',' && *p != '\r') {
      const uint8_t b = *p;
      if (b == '/' && p + 1 < end && p[1] == '/') {
        p = std::find(p, end, static_cast<uint8_t>('\n'));
        if (p < end) ++p;
        skip_if('\r');
        skip_if('\n');
        continue;
      }
      if (is_lead(b)) {
        out->push_back(static_cast<char>(b));
        if (p + 1 < end) out->push_back(static_cast<char>(p[1]));
        p += p + 1 < end ? 2 : 1;
        started = true;
        continue;
      }
      ++p;
      if (b == '"') {
        started = true;
      } else if ((b == ' ' || b == 0x08) && !started) {
        // dropped before the field starts
      } else {
        out->push_back(static_cast<char>(b));
      }
    }
    skip_if(',');
    skip_if('\r');
    skip_if('\n');
    return p < end;
  }
};

// The 16-bit code or byte at s[i], and how many bytes it takes.
uint32_t code_at(std::string_view s, size_t i, size_t* step) {
  const uint8_t b = static_cast<uint8_t>(s[i]);
  if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && i + 1 < s.size()) {
    *step = 2;
    return (uint32_t{b} << 8) | static_cast<uint8_t>(s[i + 1]);
  }
  *step = 1;
  return b;
}

}  // namespace

std::vector<TipsEntry> tips_csv_parse(const uint8_t* bytes, size_t size) {
  std::vector<TipsEntry> entries;
  CsvCursor c{bytes, bytes + size};
  TipsEntry record{};
  size_t k = 0;
  bool more = size > 0;
  while (more) {
    more = c.field(&record.column[k % 4]);
    if (k % 4 == 3) {
      record.number = static_cast<int32_t>(entries.size());
      record.kanaRow = -1;
      entries.push_back(record);
      record = TipsEntry{};
    }
    ++k;
  }
  return entries;
}

int32_t tips_kana_row(std::string_view reading) {
  if (reading.size() < 2) return -1;
  for (const char* table : kKanaTables) {
    for (size_t at = 0; at + 1 < kKanaTableBytes; at += 2) {
      if (table[at] == reading[0] && table[at + 1] == reading[1]) {
        return static_cast<int32_t>(at / kKanaRowBytes);
      }
    }
  }
  return -1;
}

int tips_reading_compare(std::string_view a, std::string_view b) {
  size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    size_t step_a = 0, step_b = 0;
    const uint32_t ca = code_at(a, i, &step_a);
    const uint32_t cb = code_at(b, j, &step_b);
    if (ca != cb) return ca < cb ? -1 : 1;
    i += step_a;
    j += step_b;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

void tips_sort(TipsDictionary& dict) {
  std::vector<TipsEntry>& e = dict.entries;
  for (size_t i = 0; i < e.size(); ++i) {
    for (size_t j = 0; j < e.size(); ++j) {
      if (j != i && tips_reading_compare(e[i].column[1], e[j].column[1]) < 0) {
        std::swap(e[i], e[j]);
      }
    }
  }
}

void tips_flags_apply(TipsDictionary& dict, const uint8_t* bytes, size_t size) {
  for (size_t n = 0; n < dict.entries.size(); ++n) {
    TipsEntry& e = dict.entries[n];
    e.flag1 = 2 * n < size ? static_cast<int8_t>(bytes[2 * n] - '0') : 0;
    e.flag2 = 2 * n + 1 < size ? static_cast<int8_t>(bytes[2 * n + 1] - '0') : 0;
  }
}

std::string tips_flags_bytes(const TipsDictionary& dict) {
  std::string out;
  out.reserve(dict.entries.size() * 2);
  for (const TipsEntry& e : dict.entries) {
    out += static_cast<char>('0' + e.flag1);
    out += static_cast<char>('0' + e.flag2);
  }
  return out;
}

void tips_list_sort(const TipsDictionary& dict, int32_t* words, size_t word_count,
                    void (*log)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t)) {
  constexpr int32_t kHeader = 10000;
  const int32_t count = static_cast<int32_t>(dict.entries.size());
  const int32_t limit = static_cast<int32_t>(std::min<size_t>(word_count, 4096));
  const auto reading = [&](int32_t n) -> std::string_view { return dict.entries[n].column[1]; };
  const auto sort_range = [&](int32_t from, int32_t to) {
    if (from > limit - 1 || to < 1 || to > limit - 1 || to - from < 1) return;
    for (int32_t i = from; i <= to; ++i) {
      for (int32_t j = from; j <= to; ++j) {
        if (j == i) continue;
        const int32_t a = words[i], b = words[j];
        if (a >= kHeader || b >= kHeader || a < 0 || b < 0 || a >= count || b >= count) {
          if (log) log(from, to, i, a, j, b);
          return;
        }
        if (tips_reading_compare(reading(a), reading(b)) < 0) std::swap(words[i], words[j]);
      }
    }
  };
  int32_t header = -1;
  int32_t end = count - 1;
  for (int32_t p = 0; p < count; ++p) {
    if (p >= limit) {
      end = p - 1;
      break;
    }
    const int32_t w = words[p];
    if (w == -1) {
      end = p - 1;
      break;
    }
    if (w >= kHeader) {
      if (header >= 0) sort_range(header + 1, p - 1);
      header = p;
    }
  }
  sort_range(header + 1, end);
}

}  // namespace tips
