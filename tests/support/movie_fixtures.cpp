#include "support/movie_fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <mutex>

#include "support/run_program.h"
#include "support/temp_dir.h"

namespace testsupport {

namespace {

std::string digit_expr(const char* band_top, const char* band_bottom) {
  const std::string digits = "if(lt(X,W/2),trunc(N/10)*20+20,mod(N,10)*20+20)";
  return std::string("if(lt(Y,32),") + band_top + ",if(gte(Y,H-32)," + band_bottom + "," + digits +
         "))";
}

}  // namespace

std::string counter_video(int32_t width, int32_t height, double seconds) {
  char head[160];
  std::snprintf(head, sizeof head, "color=c=black:s=%dx%d:r=25:d=%g,format=rgb24,geq=", width,
                height, seconds);
  return std::string(head) + "r='" + digit_expr("255", "0") + "':g='" + digit_expr("0", "0") +
         "':b='" + digit_expr("0", "255") + "'";
}

std::string make_movie(const std::string& video, const std::string& audio,
                       const std::string& codecs, std::string* log) {
  TempDir dir;
  std::vector<std::string> args = {"-hide_banner", "-nostdin", "-y", "-f", "lavfi", "-i", video};
  if (!audio.empty()) {
    args.insert(args.end(), {"-f", "lavfi", "-i", audio});
  }
  // Split the codec options on blanks.
  std::string word;
  for (char c : codecs + " ") {
    if (c == ' ') {
      if (!word.empty()) args.push_back(word);
      word.clear();
    } else {
      word += c;
    }
  }
  const std::string out = dir / "out.bin";
  args.push_back(out);
  RunResult r = run_program("/usr/bin/ffmpeg", args, dir.path(), {}, 120);
  if (r.exit_code != 0) {
    if (log) *log = r.output;
    return {};
  }
  return read_file(out);
}

std::string movie_fixture_name(MovieFixture which) {
  switch (which) {
    case MovieFixture::kMpegSound320:
      return "OPENING.MPG";
    case MovieFixture::kMpegSilent320:
      return "SILENT.MPG";
    case MovieFixture::kMpegSound322:
      return "ODD.MPG";
    case MovieFixture::kAsfSound320:
      return "OPENING.WMV";
    case MovieFixture::kAsfSilent320:
      return "SILENT.WMV";
    case MovieFixture::kMpegShort:
      return "SHORT.MPG";
  }
  return {};
}

const std::string& movie_fixture(MovieFixture which) {
  static std::mutex mutex;
  static std::map<MovieFixture, std::string> made;
  std::lock_guard<std::mutex> guard(mutex);
  auto it = made.find(which);
  if (it != made.end()) return it->second;
  const std::string sine = "sine=frequency=440:sample_rate=44100:duration=";
  const std::string mpeg_sound =
      "-c:v mpeg1video -q:v 2 -c:a mp2 -ac 2 -ar 44100 -b:a 192k -f mpeg";
  const std::string mpeg_silent = "-c:v mpeg1video -q:v 2 -an -f mpeg";
  const std::string asf_sound = "-c:v wmv2 -q:v 2 -c:a wmav2 -ac 2 -ar 44100 -b:a 128k -f asf";
  const std::string asf_silent = "-c:v wmv2 -q:v 2 -an -f asf";
  std::string log, bytes;
  switch (which) {
    case MovieFixture::kMpegSound320:
      bytes = make_movie(counter_video(320, 240, 3), sine + "3", mpeg_sound, &log);
      break;
    case MovieFixture::kMpegSilent320:
      bytes = make_movie(counter_video(320, 240, 3), "", mpeg_silent, &log);
      break;
    case MovieFixture::kMpegSound322:
      bytes = make_movie(counter_video(322, 242, 3), sine + "3", mpeg_sound, &log);
      break;
    case MovieFixture::kAsfSound320:
      bytes = make_movie(counter_video(320, 240, 3), sine + "3", asf_sound, &log);
      break;
    case MovieFixture::kAsfSilent320:
      bytes = make_movie(counter_video(320, 240, 3), "", asf_silent, &log);
      break;
    case MovieFixture::kMpegShort:
      bytes = make_movie(counter_video(320, 240, 1), sine + "1", mpeg_sound, &log);
      break;
  }
  EXPECT_FALSE(bytes.empty()) << "ffmpeg could not make " << movie_fixture_name(which) << "\n"
                              << log;
  return made[which] = bytes;
}

int32_t frame_number_of(const uint32_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  // The mean grey of a block well inside each half, away from the bands and the middle.
  auto digit = [&](int32_t x0) {
    double sum = 0;
    int n = 0;
    for (int32_t y = height / 2 - 16; y < height / 2 + 16; ++y) {
      for (int32_t x = x0; x < x0 + width / 4; ++x) {
        sum += double((pixels[int64_t(y) * pitch + x] >> 8) & 0xFF);  // green
        ++n;
      }
    }
    const double d = (sum / n - 20.0) / 20.0;
    const long r = std::lround(d);
    return (std::fabs(d - double(r)) < 0.3 && r >= 0 && r <= 9) ? int32_t(r) : -1;
  };
  const int32_t tens = digit(width / 8), units = digit(width / 2 + width / 8);
  return tens < 0 || units < 0 ? -1 : tens * 10 + units;
}

}  // namespace testsupport
