// Movie files made by the ffmpeg command line (an independent encoder), once per test process.
//
// Every picture shows its frame number N as two grey blocks (the left half tens, the right
// half units, each digit d as the grey 20 + 20 d), a red band over the top 32 rows and a blue
// band over the bottom 32 rows; frame_number_of reads N back. 25 frames a second, 3 seconds
// (75 frames) unless said otherwise; sound is a 440 Hz sine.
#pragma once

#include <cstdint>
#include <string>

namespace testsupport {

enum class MovieFixture {
  kMpegSound320,   // MPEG-1 system stream, mpeg1video + mp2 stereo, 320 x 240
  kMpegSilent320,  // the same without sound
  kMpegSound322,   // 322 x 242 (a width that is not a multiple of 4), with sound
  kAsfSound320,    // ASF, wmv2 + wmav2
  kAsfSilent320,   // ASF, wmv2 only
  kMpegShort,      // MPEG-1 with sound, 320 x 240, 1 second
};

// The bytes of the fixture (made on first use; the test fails when ffmpeg is missing).
const std::string& movie_fixture(MovieFixture which);
// The fixture's name with its extension (".mpg" or ".wmv").
std::string movie_fixture_name(MovieFixture which);

// Makes any clip with the ffmpeg command line: `video` is a lavfi source graph, `audio` one or
// empty, `codecs` the codec and format options. The bytes, or empty with the output in *log.
std::string make_movie(const std::string& video, const std::string& audio,
                       const std::string& codecs, std::string* log);
// The lavfi graph of the counter pictures above.
std::string counter_video(int32_t width, int32_t height, double seconds);

// The frame number shown by a BGRA picture of the counter (rows `pitch` pixels apart), -1
// when it shows none.
int32_t frame_number_of(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch);

}  // namespace testsupport
