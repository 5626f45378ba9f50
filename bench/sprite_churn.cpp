// Creating and releasing sprites while n others are alive (n = 100 .. 2,000): the cost of one
// create plus one release should not grow with n. Each step creates a sprite and releases the
// oldest, so the live count stays n; priorities cycle through sixteen layers, as a scene's
// background, characters, windows and text do. A last figure creates 2,000 sprites and
// releases them all.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <deque>
#include <map>
#include <string>

#include "Orv/render/render_system.h"
#include "orv/orv.h"

namespace {

constexpr int32_t kLayers = 16;

struct Scene {
  OrvHandle list = 0;
  Scene() {
    RenderParams params;
    params.game_width = 640;
    params.game_height = 480;
    params.texture_count = 4096;
    render_system_init(params, nullptr);
    list = OrvRenderInit();
    OrvRenderSetActive(list);
  }
  ~Scene() {
    OrvRenderUninit(list);
    render_system_uninit();
  }
  OrvHandle make(int32_t i) { return OrvSpriteCreate(list, 4, 4, (i % kLayers) * 100); }
};

void BM_CreateReleasePair(benchmark::State& state) {
  Scene scene;
  std::deque<OrvHandle> live;
  int32_t n = static_cast<int32_t>(state.range(0));
  int32_t next = 0;
  for (; next < n; ++next) live.push_back(scene.make(next));
  for (auto _ : state) {
    live.push_back(scene.make(next++));
    OrvSpriteRelease(scene.list, live.front());
    live.pop_front();
  }
  for (OrvHandle s : live) OrvSpriteRelease(scene.list, s);
}

void BM_Create2000ReleaseAll(benchmark::State& state) {
  Scene scene;
  std::deque<OrvHandle> live;
  for (auto _ : state) {
    for (int32_t i = 0; i < 2000; ++i) live.push_back(scene.make(i));
    for (OrvHandle s : live) OrvSpriteRelease(scene.list, s);
    live.clear();
  }
}

BENCHMARK(BM_CreateReleasePair)
    ->Arg(100)
    ->Arg(500)
    ->Arg(1000)
    ->Arg(2000)
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Create2000ReleaseAll)->Unit(benchmark::kMillisecond);

// Prints the usual table, then each pair's time against the pair's time at 100 sprites.
class FlatnessReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.aggregate_name.empty() || r.aggregate_name == "median") {
        us_[r.run_name.str()] = r.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    double base = us_["BM_CreateReleasePair/100"];
    for (int n : {100, 500, 1000, 2000}) {
      double t = us_["BM_CreateReleasePair/" + std::to_string(n)];
      std::printf("create+release with %4d alive: %7.3f us  x%.2f of 100 alive\n", n, t,
                  base > 0 ? t / base : 0.0);
    }
    std::printf("2,000 created, then all released: %.3f ms\n", us_["BM_Create2000ReleaseAll"]);
  }

 private:
  std::map<std::string, double> us_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  FlatnessReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
