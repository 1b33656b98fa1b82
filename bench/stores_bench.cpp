// Every reader and writer of the data stores at its limit: 1,001 address
// entries, 30,001 list lines, a folder of 1,000 templates.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/file_list.h"
#include "stores/addresses.h"
#include "stores/files.h"
#include "stores/settings.h"
#include "stores/templates.h"

namespace {

using namespace tallow;
using namespace tallow::stores;

class Folder {
 public:
  Folder() {
    std::string templ = (std::filesystem::temp_directory_path() / "tallowmark-bench-XXXXXX").string();
    path = mkdtemp(templ.data()) ? templ : std::string();
  }
  ~Folder() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
  std::string path;
};

std::vector<std::string> Entries(int n) {
  std::vector<std::string> entries;
  for (int i = 0; i < n; ++i)
    entries.push_back(
        ContactEntry("Contact Name " + std::to_string(i), "contact" + std::to_string(i) + "@example.org"));
  return entries;
}

std::vector<std::string> BookNames(int n) {
  std::vector<std::string> names;
  for (int i = 0; i < n; ++i) names.push_back("Address book " + std::to_string(i));
  return names;
}

void TemplateFolder(const std::string& folder, int n) {
  const std::string message =
      "Dear customer,\r\n\r\nthank you for your order. It leaves our warehouse today.\r\n\r\nKind regards";
  for (int i = 1; i <= n; ++i)
    WriteWholeText(JoinPath(folder, "data" + std::to_string(i) + ".txt"),
                   TemplateText("Subject of template " + std::to_string(i), message));
}

// ---- templates ------------------------------------------------------------------

// What a window's template list costs: the folder listed, every subject read.
void BM_ReadSubjects(benchmark::State& state) {
  Folder folder;
  TemplateFolder(folder.path, static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ReadSubjects(folder.path, ListFiles(folder.path, "*.txt")));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ReadSubjects)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_ReadTemplate(benchmark::State& state) {
  Folder folder;
  TemplateFolder(folder.path, 1000);
  const std::string last = ListFiles(folder.path, "*.txt").back();
  for (auto _ : state) benchmark::DoNotOptimize(ReadTemplate(folder.path, last));
}
BENCHMARK(BM_ReadTemplate)->Unit(benchmark::kMicrosecond);

void BM_NewFileName(benchmark::State& state) {
  Folder folder;
  TemplateFolder(folder.path, 1000);
  for (auto _ : state) benchmark::DoNotOptimize(NewFileName(folder.path, "*.txt", 1, ".txt"));
}
BENCHMARK(BM_NewFileName)->Unit(benchmark::kMillisecond);

void BM_WriteTemplate(benchmark::State& state) {
  Folder folder;
  const std::string text = TemplateText("Subject", std::string(2000, 'm'));
  for (auto _ : state) benchmark::DoNotOptimize(WriteWholeText(JoinPath(folder.path, "data1.txt"), text));
}
BENCHMARK(BM_WriteTemplate)->Unit(benchmark::kMicrosecond);

// ---- settings ---------------------------------------------------------------------

void BM_ReadSettings(benchmark::State& state) {
  Folder folder;
  WriteSettings(folder.path, true, false);
  for (auto _ : state) benchmark::DoNotOptimize(ReadSettings(folder.path));
}
BENCHMARK(BM_ReadSettings)->Unit(benchmark::kMicrosecond);

void BM_WriteSettings(benchmark::State& state) {
  Folder folder;
  for (auto _ : state) benchmark::DoNotOptimize(WriteSettings(folder.path, true, false));
}
BENCHMARK(BM_WriteSettings)->Unit(benchmark::kMicrosecond);

// ---- address files ---------------------------------------------------------------

// range(0): the entries in the file; the reader stops at 1,001.
void BM_ReadAddressFile(benchmark::State& state) {
  Folder folder;
  const std::string path = RootAddressFile(folder.path);
  WriteAddressFile(path, Entries(static_cast<int>(state.range(0))));
  for (auto _ : state) benchmark::DoNotOptimize(ReadAddressFile(path));
  state.SetItemsProcessed(state.iterations() * kMaxEntries);
}
BENCHMARK(BM_ReadAddressFile)->Arg(1001)->Arg(10000)->Unit(benchmark::kMicrosecond);

// range(0): the entries in the file as it stands; 1,001 are written over it,
// and the part beyond the first 1,001 is kept.
void BM_WriteAddressFile(benchmark::State& state) {
  Folder folder;
  const std::string path = RootAddressFile(folder.path);
  WriteAddressFile(path, Entries(static_cast<int>(state.range(0))));
  const std::vector<std::string> entries = Entries(kMaxEntries);
  for (auto _ : state) benchmark::DoNotOptimize(WriteAddressFile(path, entries));
}
BENCHMARK(BM_WriteAddressFile)->Arg(1001)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_AppendAddressEntry(benchmark::State& state) {
  Folder folder;
  const std::string path = RootAddressFile(folder.path);
  const std::vector<std::string> entries = Entries(kMaxEntries - 1);
  const std::string entry = ContactEntry("New Contact", "new@example.org");
  for (auto _ : state) {
    state.PauseTiming();
    WriteAddressFile(path, entries);
    state.ResumeTiming();
    benchmark::DoNotOptimize(AppendAddressEntry(path, entry));
  }
}
BENCHMARK(BM_AppendAddressEntry)->Unit(benchmark::kMicrosecond);

void BM_ParseAddressFile(benchmark::State& state) {
  const std::string text = AddressFileText(Entries(kMaxEntries)) + CRLF;
  for (auto _ : state) benchmark::DoNotOptimize(ParseAddressFile(text));
  state.SetBytesProcessed(state.iterations() * static_cast<long>(text.size()));
}
BENCHMARK(BM_ParseAddressFile)->Unit(benchmark::kMicrosecond);

// ---- list files ---------------------------------------------------------------------

void BM_WriteListFile(benchmark::State& state) {
  Folder folder;
  const std::vector<std::string> books = BookNames(kMaxListLines);
  for (auto _ : state) benchmark::DoNotOptimize(WriteListFile(folder.path, "lst", "books", books));
}
BENCHMARK(BM_WriteListFile)->Unit(benchmark::kMillisecond);

void BM_ReadListFile(benchmark::State& state) {
  Folder folder;
  WriteListFile(folder.path, "lst", "books", BookNames(kMaxListLines));
  for (auto _ : state) benchmark::DoNotOptimize(ReadListFile(folder.path, "lst", "books"));
  state.SetItemsProcessed(state.iterations() * kMaxListLines);
}
BENCHMARK(BM_ReadListFile)->Unit(benchmark::kMillisecond);

}  // namespace
