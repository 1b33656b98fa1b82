// What every fuzz target shares. A target is one file, NAME.cpp, that defines
// LLVMFuzzerTestOneInput and Seeds(), and one line in CMakeLists.txt.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "platform/form.h"

namespace tallow::fuzz {

// A finding: says which check failed and stops, so that libFuzzer keeps the input.
#define FUZZ_CHECK(condition)                                                             \
  do {                                                                                    \
    if (!(condition)) {                                                                   \
      std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

// The target's first inputs, beyond the tests' corpus of malformed files,
// in the target's own layout of its input. Defined by each target.
std::vector<std::string> Seeds();

// The tests' corpus of malformed data files (tests/stores/corpus.h).
std::vector<std::string> TestCorpus();

// A folder of this process's own for the files a target writes, inside
// $FUZZ_SCRATCH, or on a file system in memory when there is one (a save
// syncs to disk); removed at exit.
const std::string& Scratch();

// A host for a bare window whose controls the windows' list code fills from
// the readers (desk/lists). Nothing that code does reaches a service.
class BareHost : public Host {
 public:
  Services& Svc() override { std::abort(); }
  void UnloadForm(Form&, int) override {}
};

// The first two bytes of an input as a number (little-endian), and the rest:
// lets short inputs ask for thousands of lines, to reach a reader's limits.
inline unsigned Count(const uint8_t* data, size_t size) { return size < 2 ? 0 : data[0] | data[1] << 8; }
inline std::string AfterCount(const uint8_t* data, size_t size) {
  return size < 2 ? std::string() : std::string(reinterpret_cast<const char*>(data) + 2, size - 2);
}
inline std::string WithCount(unsigned count, const std::string& text) {
  return std::string{static_cast<char>(count & 0xff), static_cast<char>(count >> 8)} + text;
}

// The file of a reader with a limit on its lines or entries: Count modulo
// limit + 102 filler lines, `line(i)` each, then the rest of the input.
std::string FilledFile(const uint8_t* data, size_t size, int limit, const std::function<std::string(unsigned)>& line);
// The seeds of such a target: the tests' corpus with no filler, and `text`
// after limit - 1, limit and limit + 1 filler lines.
std::vector<std::string> FilledSeeds(int limit, const std::string& text);

}  // namespace tallow::fuzz
