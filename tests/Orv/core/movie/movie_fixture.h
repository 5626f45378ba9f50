// A game folder for the movie tests: every movie fixture is a member in the middle of the
// base folder's archive (game.pac), between two other members, and some lie loose as well;
// a software renderer, the sound system without thread or output (the test pulls the mix),
// and an injected clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "Orv/core/movie/movie_player.h"
#include "Orv/core/movie/movie_sprite.h"
#include "Orv/core/sound/sound_system.h"
#include "Orv/render/sprite.h"
#include "pacpack/pac_writer.h"
#include "support/movie_fixtures.h"
#include "support/render_fixture.h"
#include "support/temp_dir.h"

namespace movietest {

using testsupport::MovieFixture;

inline const MovieFixture kAllFixtures[] = {
    MovieFixture::kMpegSound320, MovieFixture::kMpegSilent320, MovieFixture::kMpegSound322,
    MovieFixture::kAsfSound320,  MovieFixture::kAsfSilent320,  MovieFixture::kMpegShort};

class MovieTest : public rendertest::RenderTest {
 protected:
  void SetUp() override {
    rendertest::RenderTest::SetUp();
    base_ = dir_ / "game";
    std::filesystem::create_directories(base_);
    ASSERT_TRUE(file_set_base_folder(base_.c_str()));
    ASSERT_EQ(OrvSystemPathInit(), 1);
    std::vector<pacpack::Member> members = {{"AAA.BIN", std::string(1000, 'a')}};
    for (MovieFixture f : kAllFixtures) {
      const std::string& bytes = testsupport::movie_fixture(f);
      ASSERT_FALSE(bytes.empty());
      members.push_back({testsupport::movie_fixture_name(f), bytes});
    }
    members.push_back({"ZZZ.BIN", std::string(777, 'z')});
    std::string archive, error;
    ASSERT_TRUE(pacpack::build_archive(members, &archive, &error)) << error;
    testsupport::write_file(base_ + ".pac", archive);
    ASSERT_TRUE(sound_system_start(SoundStartOptions{false, false}));
  }
  void TearDown() override {
    sprite_release_all();  // movie sprites first: their sound goes before the mixer
    sound_system_destroy();
    OrvSystemPathUninit();
    file_set_base_folder("");
    rendertest::RenderTest::TearDown();
  }

  // Puts a loose copy of bytes into the base folder.
  void loose(const std::string& name, const std::string& bytes) {
    testsupport::write_file(base_ + "/" + name, bytes);
  }
  std::string loose_path(const std::string& name) const { return base_ + "/" + name; }

  // Pulls `ms` of the mix (which moves the clock of a movie with sound) in steps of 100 ms.
  void pull_ms(int64_t ms) {
    std::vector<int16_t> out(4410 * 2);
    for (int64_t done = 0; done < ms; done += 100) {
      const uint32_t frames = uint32_t(std::min<int64_t>(100, ms - done) * 441 / 10);
      sound_mixer()->mix(out.data(), frames);
    }
  }

  testsupport::TempDir dir_;
  std::string base_;
};

// The movie player behind a movie sprite.
inline MoviePlayer* player_of(OrvHandle sprite) {
  OrvSprite* s = sprite_from(sprite);
  return s && s->movie ? static_cast<MovieRecord*>(s->movie)->player : nullptr;
}

}  // namespace movietest
