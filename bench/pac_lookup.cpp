// Looking a data file up inside a 10,000-entry .pac archive, against opening the same file
// loose from a folder of 10,000 files. Both go through OrvFileCreate, each with one search
// folder; loose files lie on disk in lower case, as most games ship them, so every loose open
// needs the case-insensitive match. A plain open() of the exact path is printed as the floor.
// Aim: the archive lookup is no slower than the loose open.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "Orv/core/files/file_access.h"
#include "orv/orv.h"
#include "pacpack/pac_writer.h"
#include "platform/file.h"

namespace {

constexpr int kFiles = 10000;

// Names as games have them: a few dozen prefixes (so the archive has many buckets of a few
// hundred entries), a number and an extension.
std::string member_name(int i) {
  static const char* const kPrefixes[] = {
      "BG",   "CG",   "CH",   "EV",    "SE",    "BGM",    "VOICE", "SYS",  "MASK",
      "FACE", "ICON", "TEXT", "ANIME", "LOGO",  "KEY",    "MOVIE", "NAME", "OP",
      "ED",   "UI",   "WIN",  "Z",     "PARTS", "JINGLE", "AMB",   "QUAKE"};
  char name[32];
  std::snprintf(name, sizeof name, "%s%05d.BIN", kPrefixes[i % 26], i);
  return name;
}

// A game folder in the temporary folder: game/loose/ with 10,000 files, game/packed.pac with
// the same 10,000 as members (and no folder "packed").
struct Fixture {
  std::string root;
  std::string base;
  std::vector<std::string> names;  // what the game asks for: upper case

  Fixture() {
    root = (std::filesystem::temp_directory_path() / "velmora-bench-pac").string();
    std::filesystem::remove_all(root);
    base = root + "/game";
    std::filesystem::create_directories(base + "/loose");
    std::vector<pacpack::Member> members;
    for (int i = 0; i < kFiles; ++i) {
      std::string name = member_name(i);
      std::string data(64 + i % 200, static_cast<char>(i));
      std::string lower = name;
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      std::ofstream(base + "/loose/" + lower, std::ios::binary) << data;
      members.push_back({name, data});
      names.push_back(name);
    }
    std::string bytes, error;
    if (!pacpack::build_archive(members, &bytes, &error))
      std::fprintf(stderr, "%s\n", error.c_str());
    std::ofstream(base + "/packed.pac", std::ios::binary) << bytes;
    file_set_base_folder(base.c_str());  // ASCII, so it is its own Shift-JIS form
  }
  ~Fixture() { std::filesystem::remove_all(root); }
};

Fixture& fixture() {
  static Fixture f;
  return f;
}

void run_lookups(benchmark::State& state, const char* search_folder) {
  Fixture& f = fixture();
  OrvSystemPathInit();
  OrvSystemPathSet(search_folder);
  size_t i = 0;
  for (auto _ : state) {
    FileRange range;
    OrvFileHandle h = OrvFileCreate(f.names[i].c_str(), &range);
    if (h == kOrvInvalidFile) {
      state.SkipWithError("not found");
      break;
    }
    platform::file_close(h);
    i = (i + 7919) % f.names.size();  // a stride, so lookups do not follow the directory order
  }
  OrvSystemPathUninit();
  state.SetItemsProcessed(state.iterations());
}

void BM_ArchiveLookup(benchmark::State& state) {
  run_lookups(state, "packed");
}
void BM_LooseOpen(benchmark::State& state) {
  run_lookups(state, "loose");
}

void BM_PlainOpenExactPath(benchmark::State& state) {
  Fixture& f = fixture();
  std::vector<std::string> paths;
  for (const std::string& n : f.names) {
    std::string lower = n;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    paths.push_back(f.base + "/loose/" + lower);
  }
  size_t i = 0;
  for (auto _ : state) {
    int fd = open(paths[i].c_str(), O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(fd);
    close(fd);
    i = (i + 7919) % paths.size();
  }
  state.SetItemsProcessed(state.iterations());
}

// The two side by side under the same load: blocks of archive lookups and loose opens take
// turns, and each side's time is summed apart. The ratio printed at the end comes from here.
double g_interleaved_ratio = 0;

void BM_Interleaved(benchmark::State& state) {
  Fixture& f = fixture();
  OrvSystemPathInit();
  double archive_ns = 0, loose_ns = 0;
  int64_t lookups = 0;
  size_t i = 0;
  auto block = [&](bool loose_side) {
    OrvSystemPathClear();
    OrvSystemPathSet(loose_side ? "loose" : "packed");
    auto t0 = std::chrono::steady_clock::now();
    for (int k = 0; k < 200; ++k) {
      FileRange range;
      OrvFileHandle h = OrvFileCreate(f.names[i].c_str(), &range);
      platform::file_close(h);
      i = (i + 7919) % f.names.size();
    }
    return std::chrono::duration<double, std::nano>(std::chrono::steady_clock::now() - t0).count();
  };
  for (auto _ : state) {
    archive_ns += block(false);
    loose_ns += block(true);
    lookups += 200;
  }
  OrvSystemPathUninit();
  state.counters["archive_ns"] = archive_ns / static_cast<double>(lookups);
  state.counters["loose_ns"] = loose_ns / static_cast<double>(lookups);
  g_interleaved_ratio = archive_ns / loose_ns;
}

BENCHMARK(BM_ArchiveLookup);
BENCHMARK(BM_LooseOpen);
BENCHMARK(BM_PlainOpenExactPath);
BENCHMARK(BM_Interleaved)->MinTime(2.0);

// Prints the usual table and remembers each benchmark's time per lookup for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type == Run::RT_Iteration && r.iterations > 0) {
        ns_per_lookup[r.run_name.function_name] = r.GetAdjustedRealTime();
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }
  std::map<std::string, double> ns_per_lookup;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto& t = reporter.ns_per_lookup;
  if (t.count("BM_ArchiveLookup") && t.count("BM_LooseOpen")) {
    std::printf("\narchive lookup: %.0f lookups/s   loose open: %.0f opens/s   (separate runs)\n",
                1e9 / t["BM_ArchiveLookup"], 1e9 / t["BM_LooseOpen"]);
  }
  if (g_interleaved_ratio > 0) {
    std::printf(
        "archive lookup / loose open, time taking turns under the same load: %.2f "
        "(aim: at most 1.00)\n",
        g_interleaved_ratio);
  }
  benchmark::Shutdown();
  return 0;
}
