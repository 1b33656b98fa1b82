// Built into every target: the scratch folder, and the seeds a target writes
// for scripts/fuzz.sh when FUZZ_WRITE_SEEDS names a folder.
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "fuzz.h"
#include "stores/corpus.h"

namespace tallow::fuzz {

namespace fs = std::filesystem;

std::vector<std::string> TestCorpus() { return testing::Corpus(); }

std::string FilledFile(const uint8_t* data, size_t size, int limit, const std::function<std::string(unsigned)>& line) {
  std::string text;
  const unsigned filler = Count(data, size) % static_cast<unsigned>(limit + 102);
  for (unsigned i = 0; i < filler; ++i) text += line(i);
  return text + AfterCount(data, size);
}

std::vector<std::string> FilledSeeds(int limit, const std::string& text) {
  std::vector<std::string> seeds;
  for (const std::string& corpusText : TestCorpus()) seeds.push_back(WithCount(0, corpusText));
  for (int n : {limit - 1, limit, limit + 1}) seeds.push_back(WithCount(static_cast<unsigned>(n), text));
  return seeds;
}

static void RemoveScratch() {
  std::error_code ec;
  fs::remove_all(Scratch(), ec);
}

const std::string& Scratch() {
  static const std::string folder = [] {
    std::error_code ec;
    const char* given = std::getenv("FUZZ_SCRATCH");  // scripts/fuzz.sh's, removed by it whatever happens
    const fs::path base = given && *given                    ? fs::path(given)
                          : fs::is_directory("/dev/shm", ec) ? fs::path("/dev/shm")
                                                             : fs::temp_directory_path();
    const fs::path made = base / ("tallowmark-fuzz-" + std::to_string(::getpid()));
    fs::create_directories(made);
    return made.string();
  }();
  // Registered after the folder's name is made, so it runs before the name goes.
  static const bool removedAtExit = std::atexit(RemoveScratch) == 0;
  (void)removedAtExit;
  return folder;
}

}  // namespace tallow::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const char* out = std::getenv("FUZZ_WRITE_SEEDS");
  if (!out || !*out) return 0;
  std::filesystem::create_directories(out);
  const auto seeds = tallow::fuzz::Seeds();
  for (size_t i = 0; i < seeds.size(); ++i)
    std::ofstream(std::string(out) + "/seed-" + std::to_string(i), std::ios::binary) << seeds[i];
  std::exit(0);
}
