// A recording stand-in for the library's sound entries and clock: every call is kept as one
// line ("PlayFade 3 1 4000"), sounds play until a test ends them, and the clock is a number.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/orv_api.h"
#include "support/vm_fixture.h"

namespace soundtest {

struct FakeSound {
  std::vector<std::string> calls;
  std::set<std::string> files;                // names (with extension) that load
  std::map<uint32_t, bool> playing;           // handle -> still playing
  std::map<uint32_t, int32_t> state;          // handle -> OrvSoundGetState (2 fading out)
  std::map<int32_t, int32_t> typeVolume;      // type -> last OrvSoundSetVolume
  std::map<uint32_t, int32_t> channelVolume;  // handle -> last OrvSoundSetVolumeChannel
  float voiceSpeed = 0.0f;
  int32_t primary = -1;
  int32_t freeBgmChannels = 2;
  int32_t param18[2] = {1, 1};  // OrvSoundGetParam(n, 18): channel in use
  int32_t paramChannel = -1;    // the platform channel of the last OrvSoundGetParam
  int32_t statusChannel = -1;   // the platform channel of the last OrvSoundGetStatus
  uint32_t nextIndex = 0;
  uint32_t now = 10000;
  uint32_t keysPushed = 0;  // OrvInputGetKeyPush of this frame

  void log(const std::string& line) { calls.push_back(line); }
  bool called(const std::string& line) const {
    for (const auto& c : calls)
      if (c == line) return true;
    return false;
  }
  // Calls whose text starts with prefix, in order.
  std::vector<std::string> with(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& c : calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }
};

inline FakeSound* g_sound = nullptr;

inline std::string num(int64_t v) {
  return std::to_string(v);
}

// Replaces the sound entries and the clock of `orv` while alive.
class FakeSoundScope {
 public:
  explicit FakeSoundScope(FakeSound* fake) : saved_(orv) {
    g_sound = fake;
    orv.OrvtimeGetTime = [] { return g_sound->now; };
    orv.OrvSoundLoad = [](const char* name, int32_t type, const BgmLoopPoints*) -> uint32_t {
      g_sound->log(std::string("Load ") + name + " " + num(type));
      if (!g_sound->files.count(name)) return 0;
      const uint32_t h = (static_cast<uint32_t>(type) << 28) | g_sound->nextIndex++;
      g_sound->playing[h] = false;
      return h;
    };
    orv.OrvSoundLoadEx = [](const char* name, int32_t type, const BgmLoopPoints*,
                            float gain) -> uint32_t {
      g_sound->log(std::string("LoadEx ") + name + " " + num(type) + " " +
                   num(static_cast<int>(gain * 100)));
      if (!g_sound->files.count(name)) return 0;
      return (static_cast<uint32_t>(type) << 28) | g_sound->nextIndex++;
    };
    orv.OrvSoundLoadSetReserved = [](int32_t, int32_t type) -> uint32_t {
      g_sound->log("LoadSetReserved " + num(type));
      return (static_cast<uint32_t>(type) << 28) | 0x0F00 | g_sound->nextIndex++;
    };
    orv.OrvSoundPlayFade = [](uint32_t h, int32_t loop, int32_t fade) -> OrvBool {
      g_sound->log("PlayFade " + num(h & 0xFFFF) + " " + num(loop) + " " + num(fade));
      if (h) g_sound->playing[h] = true;
      return 1;
    };
    orv.OrvSoundPlay = [](uint32_t h, int32_t loop) -> OrvBool {
      g_sound->log("Play " + num(h & 0xFFFF) + " " + num(loop));
      if (h) g_sound->playing[h] = true;
      return 1;
    };
    orv.OrvSoundStop = [](uint32_t h) -> OrvBool {
      g_sound->log("Stop " + num(h & 0xFFFF));
      return 1;
    };
    orv.OrvSoundGetVolumeChannel = [](uint32_t h) -> int32_t {
      auto it = g_sound->channelVolume.find(h);
      return it == g_sound->channelVolume.end() ? 10000 : it->second;
    };
    orv.OrvSoundSetFreq = [](uint32_t h, uint32_t hz) -> OrvBool {
      g_sound->log("Freq " + num(h & 0xFFFF) + " " + num(hz));
      return 1;
    };
    orv.OrvSoundGetFreq = [](uint32_t h) -> int32_t { return h ? 22050 : -1; };
    orv.OrvSoundSetPanChannel = [](uint32_t h, int32_t pan) -> OrvBool {
      g_sound->log("Pan " + num(h & 0xFFFF) + " " + num(pan));
      return 1;
    };
    orv.OrvSetVoiceSpeed = [](float speed) -> float {
      const float old = g_sound->voiceSpeed;
      g_sound->voiceSpeed = speed < 0 ? 0 : speed > 200 ? 200 : speed;
      return old;
    };
    orv.OrvGetVoiceSpeed = []() -> float { return g_sound->voiceSpeed; };
    orv.OrvSoundStopFade = [](uint32_t h, int32_t fade) -> OrvBool {
      g_sound->log("StopFade " + num(h & 0xFFFF) + " " + num(fade));
      g_sound->state[h] = 2;
      return 1;
    };
    orv.OrvSoundPause = [](uint32_t h, int32_t pause, int32_t fade) -> OrvBool {
      g_sound->log("Pause " + num(h & 0xFFFF) + " " + num(pause) + " " + num(fade));
      return 1;
    };
    orv.OrvSoundRelease = [](uint32_t h) -> OrvBool {
      g_sound->log("Release " + num(h & 0xFFFF));
      g_sound->playing.erase(h);
      return 1;
    };
    orv.OrvSoundReleaseEx = [](int32_t type) { g_sound->log("ReleaseEx " + num(type)); };
    orv.OrvSoundSetVolumeChannel = [](uint32_t h, int32_t v) -> OrvBool {
      g_sound->channelVolume[h] = v;
      g_sound->log("VolumeChannel " + num(h & 0xFFFF) + " " + num(v));
      return 1;
    };
    orv.OrvSoundSetVolume = [](int32_t v, int32_t type) -> OrvBool {
      g_sound->typeVolume[type] = v;
      g_sound->log("Volume " + num(type) + " " + num(v));
      return 1;
    };
    orv.OrvSoundSetPrimaryVolume = [](int32_t v) -> OrvBool {
      g_sound->primary = v;
      g_sound->log("Primary " + num(v));
      return 1;
    };
    orv.OrvSoundGetState = [](uint32_t h) -> int32_t {
      auto it = g_sound->state.find(h);
      return it == g_sound->state.end() ? 1 : it->second;
    };
    orv.OrvSoundPlayIs = [](uint32_t h) -> int32_t {
      auto it = g_sound->playing.find(h);
      return it != g_sound->playing.end() && it->second;
    };
    orv.OrvSoundGetParam = [](int32_t n, int32_t field) -> int32_t {
      g_sound->paramChannel = n;
      if (field == 18 && (n == 0 || n == 1)) return g_sound->param18[n];
      return 7;
    };
    orv.OrvSoundGetParamByType = [](int32_t type, int32_t index, int32_t field) -> int32_t {
      return type * 10000 + index * 100 + field;
    };
    orv.OrvSoundGetNowChannel = []() -> int32_t { return 0; };
    orv.OrvSoundGetStatus = [](int32_t n) -> int32_t {
      g_sound->statusChannel = n;
      return n == 0 ? 2 : 5;
    };
    orv.OrvSoundGetChannelCount = [](int32_t) -> int32_t { return g_sound->freeBgmChannels; };
    orv.OrvSoundSetReserved = [](int32_t type, uint32_t h, int32_t flag) {
      g_sound->log("SetReserved " + num(type) + " " + num(h & 0xFFFF) + " " + num(flag));
    };
  }
  ~FakeSoundScope() {
    orv = saved_;
    g_sound = nullptr;
  }
  FakeSoundScope(const FakeSoundScope&) = delete;
  FakeSoundScope& operator=(const FakeSoundScope&) = delete;

 private:
  OrvApi saved_;
};

// A script machine with the fake sound entries and a helper to run one command.
class SoundTest : public enginetest::VmTest {
 protected:
  void SetUp() override {
    VmTest::SetUp();
    scope_ = std::make_unique<FakeSoundScope>(&fake);
    // The keys pushed this frame, for the waits (the scope restores the entries).
    orv.OrvInputGetKeyPush = [] { return g_sound->keysPushed; };
    orv.OrvInputGetKeyPull = []() -> uint32_t { return 0; };
    orv.OrvInputGetKeyOn = []() -> uint32_t { return 0; };
  }
  void TearDown() override {
    scope_.reset();
    VmTest::TearDown();
  }

  // Runs command `id` with args (in the order the handler pops them); returns the result
  // register (R[0] is set to a marker before).
  uint32_t call(uint32_t id, std::vector<uint32_t> args, uint32_t* handler_return = nullptr) {
    for (auto it = args.rbegin(); it != args.rend(); ++it) engine::vm_push(vm(), *it);
    vm().reg[0] = 0xDEAD;
    vm().dwResultReg = 0;
    const engine::CommandHandler h = engine::command_lookup(id);
    EXPECT_NE(h, nullptr) << std::hex << id;
    const uint32_t r = h ? h(vm()) : 0;
    if (handler_return) *handler_return = r;
    return vm().reg[0];
  }
  // A string-slot file operand naming `name`.
  uint32_t slot_file(uint32_t slot, const char* name) {
    std::snprintf(engine::AdvGetVarString(vm(), slot), 32, "%s", name);
    return engine::kStringHandleBit | slot;
  }

  FakeSound fake;

 private:
  std::unique_ptr<FakeSoundScope> scope_;
};

}  // namespace soundtest
