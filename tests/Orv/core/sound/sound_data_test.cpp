// The readers of sound data: WAV chunks, VerEpeg headers, Ogg Vorbis through the decoder
// (checked against oggdec) and the conversion of music to the stream format.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Orv/core/sound/sound_source.h"
#include "support/sound_fixtures.h"
#include "support/temp_dir.h"

namespace {

using testsupport::make_wav;
using testsupport::put16;
using testsupport::put32;
using testsupport::WavLayout;

bool read_wav(const std::string& bytes, WavInfo* info) {
  SoundFile f;
  sound_file_open_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &f);
  return wav_read_header(&f, info);
}

TEST(WavReader, WalksChunksAndClampsTheData) {
  struct Case {
    const char* what;
    WavLayout layout;
    uint64_t offset, bytes;
  };
  WavLayout plain, fmt18, fact, list, lying, mono8;
  fmt18.fmt_bytes = 18;
  fact.fact = true;
  list.list = true;
  lying.claimed = 1000000;
  mono8.channels = 1;
  mono8.bits = 8;
  mono8.rate = 22050;
  mono8.samples = std::string(301, '\x80');
  WavLayout extensible;  // patched below into the 40-byte extensible form, sub-format PCM
  extensible.fmt_bytes = 40;
  const Case cases[] = {
      {"plain 44-byte layout", plain, 44, 400},
      {"18-byte format", fmt18, 46, 400},
      {"fact chunk", fact, 56, 400},
      {"LIST chunk, odd size", list, 66, 400},
      {"lying data size", lying, 44, 400},
      {"8-bit mono", mono8, 44, 301},
      {"extensible form of PCM", extensible, 68, 400},
  };
  for (const Case& c : cases) {
    std::string bytes = make_wav(c.layout);
    if (c.layout.fmt_bytes == 40) {
      bytes[20] = char(0xFE);  // tag 0xFFFE
      bytes[21] = char(0xFF);
      bytes[36] = 22;  // extension size
      bytes[38] = 16;  // valid bits
      bytes[44] = 1;   // sub-format GUID: PCM
    }
    WavInfo info;
    ASSERT_TRUE(read_wav(bytes, &info)) << c.what;
    EXPECT_EQ(info.data_offset, c.offset) << c.what;
    EXPECT_EQ(info.data_bytes, c.bytes) << c.what;
    EXPECT_EQ(info.format.channels, c.layout.channels) << c.what;
    EXPECT_EQ(info.format.bits_per_sample, c.layout.bits) << c.what;
  }
}

TEST(WavReader, RefusesWhatItCannotPlay) {
  WavLayout wide, many;
  wide.bits = 24;
  many.channels = 6;
  const std::string good = make_wav(WavLayout{});
  std::string not_riff = good, no_data = good.substr(0, 36), short_fmt = good;
  not_riff[0] = 'X';
  short_fmt[16] = 14;  // a format chunk of 14 bytes
  const std::string data_first =
      good.substr(0, 12) + std::string("data\4\0\0\0\0\0\0\0", 12) + good.substr(12);
  for (const std::string& bytes : {not_riff, no_data, data_first, short_fmt, make_wav(wide),
                                   make_wav(many), std::string("RIFF")}) {
    WavInfo info;
    EXPECT_FALSE(read_wav(bytes, &info));
  }
}

TEST(WavReader, DataSizeIsClampedToTheArchiveMember) {
  testsupport::TempDir dir;
  WavLayout layout;
  layout.claimed = 5000;  // more than the member, less than the whole archive file
  const std::string wav = make_wav(layout);
  testsupport::write_file(dir / "a.pac", std::string(100, 'h') + wav + std::string(8000, 'z'));
  SoundFile f;
  ASSERT_TRUE(sound_file_open_range((dir / "a.pac").c_str(), 100, wav.size(), &f));
  WavInfo info;
  ASSERT_TRUE(wav_read_header(&f, &info));
  EXPECT_EQ(info.data_bytes, 400u);
  sound_file_close(&f);
}

std::string make_verepeg(uint32_t n, uint32_t loop_units, uint32_t end_units, uint32_t v,
                         size_t data_bytes, size_t header_cut = 0) {
  std::string s;
  put32(s, 0);
  put32(s, n);
  s.append(16, '\0');
  put32(s, loop_units);
  put32(s, end_units);
  put32(s, 0);
  const size_t skip = 8ull * n + 18;
  if (skip < 100000) s.append(skip, '\0');
  put32(s, v);
  s.resize(s.size() - header_cut);
  s.append(data_bytes, '\x22');
  return s;
}

TEST(VerEpegReader, ChecksTheHeaderAndClampsPoints) {
  struct Case {
    const char* what;
    std::string bytes;
    bool ok;
    uint32_t start, loop, end;
  };
  // N = 2 and V = 8 make units of 4 bytes; the data starts at 58 + 16 = 74.
  const Case cases[] = {
      {"good", make_verepeg(2, 10, 100, 8, 1000), true, 74, 114, 474},
      {"end past the file", make_verepeg(2, 10, 1000, 8, 1000), true, 74, 114, 1074},
      {"loop past the end", make_verepeg(2, 90, 50, 8, 1000), true, 74, 274, 274},
      {"huge points", make_verepeg(1, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 40), true, 66, 106, 106},
      {"N = 0", make_verepeg(0, 0, 0, 8, 100), false, 0, 0, 0},
      {"huge N", make_verepeg(0xFFFFFFFF, 0, 0, 8, 100), false, 0, 0, 0},
      {"header cut short", make_verepeg(2, 0, 0, 8, 0, 2), false, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SoundFile f;
    sound_file_open_memory(reinterpret_cast<const uint8_t*>(c.bytes.data()), c.bytes.size(), &f);
    VerEpegInfo info;
    ASSERT_EQ(verepeg_read_header(&f, &info), c.ok) << c.what;
    if (!c.ok) continue;
    EXPECT_EQ(info.data_start, c.start) << c.what;
    EXPECT_EQ(info.loop, c.loop) << c.what;
    EXPECT_EQ(info.end, c.end) << c.what;
  }
}

TEST(OggSource, SeeksStayInsideTheBytes) {
  uint8_t bytes[100] = {};
  platform::OggMemorySource s{bytes, 100, 0, nullptr};
  struct Case {
    int64_t offset;
    int origin;
    int result;
    uint64_t position;
  } cases[] = {
      {50, SEEK_SET, 0, 50},  {101, SEEK_SET, -1, 50},  {-10, SEEK_CUR, 0, 40},
      {61, SEEK_CUR, -1, 40}, {0, SEEK_END, 0, 100},    {-30, SEEK_END, 0, 70},
      {1, SEEK_END, -1, 70},  {-101, SEEK_END, -1, 70}, {-80, SEEK_CUR, -1, 70},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::ogg_source_seek(&s, c.offset, c.origin), c.result) << c.offset;
    EXPECT_EQ(s.position, c.position) << c.offset;
  }
  uint8_t out[64];
  s.position = 90;
  EXPECT_EQ(platform::ogg_source_read(out, 4, 16, &s), 2u);  // whole elements only
  EXPECT_EQ(s.position, 98u);
}

std::vector<uint8_t> decode_all(SoundFile* f, platform::OggInfo* info) {
  std::vector<uint8_t> pcm;
  OggStream* stream = ogg_stream_open(f, "test");
  if (!stream) return pcm;
  *info = stream->info;
  uint8_t chunk[8192];
  while (uint32_t n = platform::ogg_decoder_read(stream->decoder, chunk, sizeof chunk))
    pcm.insert(pcm.end(), chunk, chunk + n);
  ogg_stream_close(stream);
  return pcm;
}

const char* const kThemeDir = "/usr/share/sounds/freedesktop/stereo/";
const char* const kThemeFiles[] = {
    "bell.oga",          "audio-channel-front-left.oga", "phone-outgoing-busy.oga",
    "service-login.oga", "camera-shutter.oga",           "suspend-error.oga"};

// A .pac archive of the given members (names upper-case), as the archive layout fixes it.
std::string make_pac(const std::vector<std::pair<std::string, std::string>>& members) {
  std::vector<std::pair<std::string, std::string>> sorted = members;
  std::sort(sorted.begin(), sorted.end());
  std::string s(12, '\0');
  std::vector<std::pair<int32_t, uint32_t>> buckets(255, {0, 0});
  for (size_t k = 0; k < sorted.size(); ++k) {
    auto& b = buckets[uint8_t(sorted[k].first[0])];
    if (b.second++ == 0) b.first = int32_t(k);
  }
  for (auto& b : buckets) {
    put32(s, uint32_t(b.first));
    put32(s, b.second);
  }
  uint32_t offset = uint32_t(2052 + 40 * sorted.size());
  for (auto& [name, data] : sorted) {
    std::string key = name;
    key.resize(32, '\0');
    s += key;
    put32(s, uint32_t(data.size()));
    put32(s, offset);
    offset += uint32_t(data.size());
  }
  for (auto& m : sorted) s += m.second;
  return s;
}

// Finds a member in an archive's directory: its offset and size.
bool find_member(const std::string& pac, const std::string& name, uint32_t* offset,
                 uint32_t* size) {
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, pac.data() + at, 4);
    return v;
  };
  const size_t bucket = 12 + 8 * uint8_t(name[0]);
  const uint32_t first = u32(bucket), count = u32(bucket + 4);
  for (uint32_t k = first; k < first + count; ++k) {
    const size_t at = 2052 + 40 * size_t(k);
    if (std::strncmp(pac.data() + at, name.c_str(), 32) == 0) {
      *size = u32(at + 32);
      *offset = u32(at + 36);
      return true;
    }
  }
  return false;
}

std::string upper(std::string s) {
  for (char& c : s) c = char(std::toupper(uint8_t(c)));
  return s;
}

TEST(OggReader, DecodesTheSoundThemeLikeOggdecLooseAndInAnArchive) {
  testsupport::TempDir dir;
  std::vector<std::pair<std::string, std::string>> members;
  for (const char* name : kThemeFiles)
    members.emplace_back(upper(name), testsupport::read_file(std::string(kThemeDir) + name));
  const std::string pac = make_pac(members);
  testsupport::write_file(dir / "se.pac", pac);

  for (const char* name : kThemeFiles) {
    const std::string path = std::string(kThemeDir) + name;
    const std::string raw = dir / (std::string(name) + ".raw");
    const std::string command = "oggdec -Q -R -o '" + raw + "' '" + path + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    const std::string expected = testsupport::read_file(raw);
    ASSERT_FALSE(expected.empty()) << name;

    SoundFile loose;
    ASSERT_TRUE(sound_file_open(path.c_str(), &loose)) << name;
    platform::OggInfo info;
    const std::vector<uint8_t> pcm = decode_all(&loose, &info);
    sound_file_close(&loose);
    EXPECT_EQ(pcm.size(), info.total_frames * info.channels * 2) << name;
    EXPECT_TRUE(pcm.size() == expected.size() &&
                std::memcmp(pcm.data(), expected.data(), pcm.size()) == 0)
        << name << ": " << pcm.size() << " bytes against " << expected.size();

    uint32_t offset = 0, size = 0;
    ASSERT_TRUE(find_member(pac, upper(name), &offset, &size)) << name;
    SoundFile member;
    ASSERT_TRUE(sound_file_open_range((dir / "se.pac").c_str(), offset, size, &member));
    const std::vector<uint8_t> from_pac = decode_all(&member, &info);
    sound_file_close(&member);
    EXPECT_TRUE(from_pac == pcm) << name << " inside the archive";
  }
}

TEST(OggReader, RefusesDamagedFiles) {
  std::string bytes = testsupport::read_file(std::string(kThemeDir) + "bell.oga");
  for (size_t cut : {size_t(0), size_t(10), size_t(200)}) {
    SoundFile f;
    sound_file_open_memory(reinterpret_cast<const uint8_t*>(bytes.data()), cut, &f);
    EXPECT_EQ(ogg_stream_open(&f, "cut"), nullptr) << cut;
  }
  // Damage in the middle of the stream: decoding gets past it or ends, but always ends.
  for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 256; ++i) bytes[i] = char(0xFF);
  SoundFile damaged;
  sound_file_open_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &damaged);
  platform::OggInfo info{};
  const size_t decoded = decode_all(&damaged, &info).size();
  EXPECT_LE(decoded, info.total_frames * info.channels * 2 + 8192);
}

// A stream whose codebooks libvorbis cannot build (found by fuzzing): its decoder is set up at
// open and the stream refused there; opened as before, a later seek set the decoder up again
// over the half-built books and the process died of a division by zero.
TEST(OggReader, RefusesAStreamWhoseDecoderCannotBeSetUp) {
  const std::string bytes = testsupport::read_file(
      std::string(VELMORA_SOURCE_DIR) + "/fuzz/regressions/ogg_reader/half-built-codebooks");
  ASSERT_FALSE(bytes.empty());
  SoundFile f;
  sound_file_open_memory(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), &f);
  EXPECT_EQ(ogg_stream_open(&f, "half-built"), nullptr);
}

// Frames a music source gives from its start to its end.
uint64_t frames_given(SoundSource* s) {
  std::vector<uint8_t> chunk(176400);
  uint64_t bytes = 0;
  while (uint32_t n = sound_source_read(s, chunk.data(), uint32_t(chunk.size()))) bytes += n;
  return bytes / 4;
}

TEST(MusicConversion, OtherRatesAndMonoPlayAtTheRightSpeed) {
  for (const char* name : {"phone-outgoing-busy.oga", "camera-shutter.oga", "bell.oga"}) {
    SoundFile f;
    ASSERT_TRUE(sound_file_open((std::string(kThemeDir) + name).c_str(), &f));
    SoundSource* s = sound_source_new(SoundSourceKind::kOgg);
    s->ogg = ogg_stream_open(&f, name);
    sound_file_close(&f);
    ASSERT_NE(s->ogg, nullptr);
    const platform::OggInfo info = s->ogg->info;
    ASSERT_TRUE(sound_source_convert_to_stream(s));
    EXPECT_EQ(sound_source_converts(s), info.rate != 44100 || info.channels != 2) << name;
    const double expected = double(info.total_frames) * 44100.0 / info.rate;
    EXPECT_NEAR(double(frames_given(s)), expected, 4.0) << name;
    EXPECT_NEAR(double(sound_source_total_bytes(s)) / 4, expected, 4.0) << name;
    sound_source_close(s);
  }

  // A 441 Hz sine at 22,050 Hz mono still has 441 periods a second after conversion.
  WavLayout layout;
  layout.channels = 1;
  layout.rate = 22050;
  layout.samples.clear();
  for (int i = 0; i < 22050; ++i)
    put16(layout.samples, uint16_t(int16_t(10000 * std::sin(2 * M_PI * 441 * i / 22050.0))));
  const std::string wav = make_wav(layout);
  SoundSource* s = sound_source_new(SoundSourceKind::kWav);
  sound_file_open_memory(reinterpret_cast<const uint8_t*>(wav.data()), wav.size(), &s->file);
  WavInfo info;
  ASSERT_TRUE(wav_read_header(&s->file, &info));
  s->format = info.format;
  s->data_offset = info.data_offset;
  s->data_bytes = info.data_bytes;
  ASSERT_TRUE(sound_source_convert_to_stream(s));
  std::vector<int16_t> pcm(44100 * 2 + 64);
  const uint32_t got =
      sound_source_read(s, reinterpret_cast<uint8_t*>(pcm.data()), uint32_t(pcm.size() * 2));
  EXPECT_NEAR(got / 4.0, 44100.0, 4.0);
  int rises = 0, peak = 0;
  for (uint32_t i = 1; i < got / 4; ++i) {
    EXPECT_EQ(pcm[2 * i], pcm[2 * i + 1]);  // mono onto both sides
    if (pcm[2 * (i - 1)] < 0 && pcm[2 * i] >= 0) ++rises;
    peak = std::max(peak, int(pcm[2 * i]));
  }
  EXPECT_NEAR(rises, 441, 1);
  EXPECT_NEAR(peak, 10000, 50);  // the level is kept
  // A seek lands on the converted position: 0.5 s in is 22,050 output frames.
  sound_source_seek(s, 22050 * 4);
  EXPECT_NEAR(double(frames_given(s)), 22050.0, 4.0);
  sound_source_close(s);
}

}  // namespace
