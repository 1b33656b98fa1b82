// Whole-file writes and reads of the file conventions.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "stores/files.h"

namespace {

std::string TempFolder() {
  std::string templ = (std::filesystem::temp_directory_path() / "tallowmark-bench-XXXXXX").string();
  if (!mkdtemp(templ.data())) return ".";
  return templ;
}

void BM_WriteWholeText(benchmark::State& state) {
  const std::string folder = TempFolder();
  const std::string text(static_cast<size_t>(state.range(0)), 'x');
  for (auto _ : state) benchmark::DoNotOptimize(tallow::stores::WriteWholeText(folder + "/f.dat", text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_WriteWholeText)->Arg(64)->Arg(64 << 10);

void BM_ReadWholeFile(benchmark::State& state) {
  const std::string folder = TempFolder();
  tallow::stores::WriteWholeText(folder + "/f.dat", std::string(static_cast<size_t>(state.range(0)), 'x'));
  std::string text;
  for (auto _ : state) benchmark::DoNotOptimize(tallow::stores::ReadWholeFile(folder + "/f.dat", text));
  state.SetBytesProcessed(state.iterations() * state.range(0));
  std::filesystem::remove_all(folder);
}
BENCHMARK(BM_ReadWholeFile)->Arg(64)->Arg(64 << 10);

}  // namespace
