// Catalogue benchmarks: the TimeLine reader's growth, the AVI reader against libavformat's header
// parse, and the folder listing against a bare directory walk plus sort.
//
// The AVI files are made by catalogue/tests/make-media (ffmpeg) into a temporary folder; the
// 100k-file folder is made there as well.

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <strings.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "catalogue/Aviduration.h"
#include "catalogue/Catalogue.h"
#include "catalogue/read_tml.h"
#include "catalogue/tests/Tmlwriter.h"

namespace {

// Thread CPU time: the machine is shared, and wall time would count the waits for it.
struct CpuClock {
  using duration = std::chrono::nanoseconds;
  using time_point = std::chrono::time_point<CpuClock>;
  static time_point now() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return time_point(duration(static_cast<int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec));
  }
};

std::string WorkDir() {
  static std::string dir = [] {
    std::string d = (std::filesystem::temp_directory_path() / ("mrvcat-bench-" + std::to_string(getpid()))).string();
    std::filesystem::create_directories(d);
    return d;
  }();
  return dir;
}

// ---- TimeLine projects ---------------------------------------------------------------------------

const std::vector<uint8_t>& Project(bool overlapping, int32_t clips) {
  static std::map<std::pair<bool, int32_t>, std::vector<uint8_t>> cache;
  auto key = std::make_pair(overlapping, clips);
  auto it = cache.find(key);
  if (it == cache.end())
    it = cache.emplace(key, (overlapping ? OverlappingProject(clips) : SequentialProject(clips)).Build()).first;
  return it->second;
}

void TmlRead(benchmark::State& state, bool overlapping) {
  const std::vector<uint8_t>& bytes = Project(overlapping, static_cast<int32_t>(state.range(0)));
  double seconds = 0;
  bool hasVideo = false;
  for (auto _ : state) {
    aTmlMemory source(bytes.data(), bytes.size());
    bool ok = ReadTmlDuration(source, "D:\\proj\\bench.tml", &seconds, &hasVideo);
    benchmark::DoNotOptimize(ok);
  }
  state.SetComplexityN(state.range(0));
  state.counters["seconds"] = seconds;
  state.counters["bytes"] = static_cast<double>(bytes.size());
}

void BM_TmlSequential(benchmark::State& state) { TmlRead(state, false); }
void BM_TmlOverlapping(benchmark::State& state) { TmlRead(state, true); }
BENCHMARK(BM_TmlSequential)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);
BENCHMARK(BM_TmlOverlapping)->RangeMultiplier(10)->Range(1000, 1000000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oNLogN);

// The 100k project through the file, as the server reads it.
void BM_TmlFile100k(benchmark::State& state) {
  std::string path = WorkDir() + "/p100k.tml";
  WriteBytes(path, Project(true, 100000));
  double seconds = 0;
  bool hasVideo = false;
  for (auto _ : state) benchmark::DoNotOptimize(ReadTmlDuration(path.c_str(), &seconds, &hasVideo));
}
BENCHMARK(BM_TmlFile100k)->Unit(benchmark::kMillisecond);

// ---- AVI duration ----------------------------------------------------------------------------------

const std::vector<std::string>& AviFiles() {
  static std::vector<std::string> files = [] {
    std::string media = WorkDir() + "/media";
    std::string command = std::string(MRV_SOURCE_DIR) + "/catalogue/tests/make-media " + media;
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "make-media failed\n");
    std::vector<std::string> f;
    for (const char* n : {"mjpeg25.avi", "mjpeg2997.avi", "raw50.avi", "video-first.avi", "audio-first.avi"})
      f.push_back(media + "/" + n);
    return f;
  }();
  return files;
}

double OurDuration(const std::string& file) {
  double seconds = -1;
  ReadAviDuration(aStrd(file.c_str()), &seconds, false);
  return seconds;
}

// libavformat's header parse: open the input (which reads the header) and take the first video
// stream's duration; no stream probing.
double LibavDuration(const std::string& file) {
  AVFormatContext* context = nullptr;
  if (avformat_open_input(&context, file.c_str(), nullptr, nullptr) != 0) return -1;
  double seconds = -1;
  for (unsigned i = 0; i < context->nb_streams; i++) {
    AVStream* s = context->streams[i];
    if (s->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
      seconds = s->duration * av_q2d(s->time_base);
      break;
    }
  }
  avformat_close_input(&context);
  return seconds;
}

void BM_AviOurs(benchmark::State& state) {
  const std::vector<std::string>& files = AviFiles();
  for (auto _ : state)
    for (const std::string& f : files) benchmark::DoNotOptimize(OurDuration(f));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}
BENCHMARK(BM_AviOurs)->Unit(benchmark::kMicrosecond);

void BM_AviLibavformat(benchmark::State& state) {
  const std::vector<std::string>& files = AviFiles();
  for (auto _ : state)
    for (const std::string& f : files) benchmark::DoNotOptimize(LibavDuration(f));
  state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(files.size()));
}
BENCHMARK(BM_AviLibavformat)->Unit(benchmark::kMicrosecond);

// Both readers on the same files in one run, interleaved, and their ratio.
void BM_AviRatio(benchmark::State& state) {
  const std::vector<std::string>& files = AviFiles();
  using Clock = CpuClock;
  Clock::duration ours{}, libav{};
  bool agree = true;
  for (auto _ : state) {
    for (const std::string& f : files) {
      Clock::time_point t0 = Clock::now();
      double a = OurDuration(f);
      Clock::time_point t1 = Clock::now();
      double b = LibavDuration(f);
      Clock::time_point t2 = Clock::now();
      ours += t1 - t0;
      libav += t2 - t1;
      agree = agree && std::abs(a - b) < 1e-6;
    }
  }
  double n = static_cast<double>(state.iterations() * static_cast<int64_t>(files.size()));
  state.counters["ours_us"] = std::chrono::duration<double, std::micro>(ours).count() / n;
  state.counters["libav_us"] = std::chrono::duration<double, std::micro>(libav).count() / n;
  state.counters["libav_over_ours"] =
      std::chrono::duration<double>(libav).count() / std::chrono::duration<double>(ours).count();
  state.counters["same_durations"] = agree ? 1 : 0;
}
BENCHMARK(BM_AviRatio)->Unit(benchmark::kMillisecond);

// ---- Folder listing ----------------------------------------------------------------------------------

const std::string& BigFolder() {
  static std::string folder = [] {
    std::string d = WorkDir() + "/folder100k/";
    std::filesystem::create_directories(d);
    for (int i = 0; i < 100000; i++) {
      std::string name = d + (i % 3 == 0 ? "Take" : "clip") + std::to_string((i * 7919) % 100000) +
                         (i % 2 ? ".avi" : ".tml");
      FILE* f = std::fopen(name.c_str(), "wb");
      if (f) std::fclose(f);
    }
    return d;
  }();
  return folder;
}

size_t OurListing(const std::string& folder) {
  aString text;
  FileListText(aStrd(folder.c_str()), text);
  return static_cast<size_t>(text.length);
}

size_t BareListing(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = opendir(folder.c_str());
  if (!dir) return 0;
  while (dirent* e = readdir(dir)) names.emplace_back(e->d_name);
  closedir(dir);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return strcasecmp(a.c_str(), b.c_str()) < 0; });
  return names.size();
}

void BM_ListOurs(benchmark::State& state) {
  const std::string& folder = BigFolder();
  for (auto _ : state) benchmark::DoNotOptimize(OurListing(folder));
}
BENCHMARK(BM_ListOurs)->Unit(benchmark::kMillisecond);

void BM_ListBareWalkAndSort(benchmark::State& state) {
  const std::string& folder = BigFolder();
  for (auto _ : state) benchmark::DoNotOptimize(BareListing(folder));
}
BENCHMARK(BM_ListBareWalkAndSort)->Unit(benchmark::kMillisecond);

void BM_ListRatio(benchmark::State& state) {
  const std::string& folder = BigFolder();
  using Clock = CpuClock;
  Clock::duration ours{}, bare{};
  for (auto _ : state) {
    Clock::time_point t0 = Clock::now();
    benchmark::DoNotOptimize(OurListing(folder));
    Clock::time_point t1 = Clock::now();
    benchmark::DoNotOptimize(BareListing(folder));
    Clock::time_point t2 = Clock::now();
    ours += t1 - t0;
    bare += t2 - t1;
  }
  state.counters["ours_ms"] = std::chrono::duration<double, std::milli>(ours).count() / state.iterations();
  state.counters["bare_ms"] = std::chrono::duration<double, std::milli>(bare).count() / state.iterations();
  state.counters["ours_over_bare"] =
      std::chrono::duration<double>(ours).count() / std::chrono::duration<double>(bare).count();
}
BENCHMARK(BM_ListRatio)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ec;
  std::filesystem::remove_all(WorkDir(), ec);
  return 0;
}
