#include "engine/startup_params.h"

#include <cstring>
#include <string>

#include "platform/message_box.h"

namespace engine {
namespace {

constexpr ScreenSize kScreenSizes[9] = {
    {1280, 720, 1280, 720},   {640, 480, 640, 480},     {800, 600, 800, 600},
    {960, 600, 960, 600},     {1280, 720, 1280, 720},   {1920, 1080, 1920, 1080},
    {2560, 1440, 2560, 1440}, {3840, 2160, 3840, 2160}, {7680, 4320, 7680, 4320}};

// "初起動時のウインドウモードを設定します。\nフルスクリーンでゲームを開始する。"
constexpr char kWindowModeQuestion[] =
    "\x8f\x89\x8bN\x93\xae\x8e\x9e\x82\xcc\x83"
    "E\x83"
    "C\x83\x93\x83h\x83"
    "E\x83\x82\x81[\x83h"
    "\x82\xf0\x90\xdd\x92\xe8\x82\xb5\x82\xdc\x82\xb7\x81"
    "B\n\x83t\x83\x8b\x83X\x83N\x83\x8a\x81["
    "\x83\x93\x82\xc5\x83Q\x81[\x83\x80\x82\xf0\x8aJ\x8en\x82\xb7\x82\xe9\x81"
    "B";

bool starts_with(const char* text, const char* name) {
  return std::strncmp(text, name, std::strlen(name)) == 0;
}

}  // namespace

ScreenSize screen_size_row(uint32_t index) {
  return index > 8 ? kScreenSizes[0] : kScreenSizes[index];
}

void switches_apply(int argc, char** argv, StartParams* params, StartupSettings* settings) {
  for (int i = 1; i < argc; ++i) {
    const char* p = std::strchr(argv[i], '/');
    while (p) {
      const char* after = p + 1;
      if (starts_with(after, "MOVIESKIP")) {
        settings->bMovieSkip = 1;
        after += 9;
      } else if (starts_with(after, "DIB")) {
        params->display_flags &= ~8u;
        after += 3;
      } else if (starts_with(after, "VS")) {
        params->wait_mode = 0;
        after += 2;
      } else if (starts_with(after, "NA")) {
        params->display_flags &= ~1u;
        after += 2;
      } else if (starts_with(after, "DX")) {
        params->display_flags |= 8u;
        after += 2;
      }
      p = std::strchr(after, '/');
    }
  }
}

int32_t window_mode_choose(const char* product) {
  const int answer = platform::message_box(kWindowModeQuestion, product,
                                           platform::kMbYesNo | platform::kMbIconQuestion |
                                               platform::kMbTopMost | platform::kMbDefButton2,
                                           platform::kIdNo);
  return answer == platform::kIdYes ? 1 : 0;
}

}  // namespace engine
