// The tips dictionary: the glossary behind the tips words. A table of entries read from a CSV
// data file (key, reading and two more texts per record), each with the gojuon row of its
// reading and two flags that the script sets and keeps in a flag file of two digits per entry.
// Program-wide: not part of the save data, kept until exit.
//
// CSV (Shift-JIS): records of four fields. A field is read so: a comma at once gives an empty
// field; otherwise bytes are taken up to the next comma, CR or the end of the data; "//" starts
// a comment up to and including the next LF (one more CR and one more LF after it are skipped
// too), after which the field goes on; a byte of 0x80 or more is taken with the byte after it;
// a double quote is dropped and marks the field as started; a space or 0x08 is dropped until
// the field has started (by a quote or a two-byte character). The ending comma is consumed,
// then one CR and one LF when they follow. Field k belongs to column k mod 4; a record that
// the end of the data cuts short is dropped. Quotes do not protect commas or line breaks.
//
// Flag file: '0' + flag 1 and '0' + flag 2 per entry in entry order, nothing else.
//
// Thread: the thread that runs the script.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tips {

struct TipsEntry {
  int32_t number;                     // the record's place in the CSV file
  std::array<std::string, 4> column;  // key, reading, two more texts
  int32_t kanaRow;                    // 0..9, -1 none
  int8_t flag1, flag2;
};

struct TipsDictionary {
  std::vector<TipsEntry> entries;
  std::string flagPath;
};

extern TipsDictionary tips_dictionary;

// The records of CSV bytes, numbered in order (kana rows -1, flags 0).
std::vector<TipsEntry> tips_csv_parse(const uint8_t* bytes, size_t size);

// The gojuon row (0..9) of a reading's first character: its two bytes searched, character by
// character, in the hiragana, voiced, small-kana and the three katakana tables, the first
// table that holds them deciding; -1 when none does (a kanji, a one-byte character).
int32_t tips_kana_row(std::string_view reading);

// The code page's comparison of two Shift-JIS texts: a lead byte and its trail form one 16-bit
// code, single bytes compare as unsigned values, the first difference decides (a text that
// ends first is below). Negative, 0 or positive.
int tips_reading_compare(std::string_view a, std::string_view b);

// Ascending by reading, by the dictionary's own exchange order (every pair i, j visited, i and
// j exchanged when reading i is below reading j), so that equal readings keep the order that
// scripts saw.
void tips_sort(TipsDictionary& dict);

// The flags from flag-file bytes; an entry past the bytes gets 0 and 0.
void tips_flags_apply(TipsDictionary& dict, const uint8_t* bytes, size_t size);
// The flag file's bytes.
std::string tips_flags_bytes(const TipsDictionary& dict);

// Sorts the groups of a list of entry numbers in words (a word of 10,000 or more opens a group,
// -1 ends the list; at most 4,096 words, and as many as the dictionary has entries) by reading.
// A range that holds a header or a word that names no entry is left as it is; `log` receives
// (from, to, i, a, j, b) for it.
void tips_list_sort(const TipsDictionary& dict, int32_t* words, size_t word_count,
                    void (*log)(int32_t, int32_t, int32_t, int32_t, int32_t, int32_t));

}  // namespace tips
