// Every reader and writer of the data stores at its limit: 1,001 address
// entries, 30,001 list lines, a folder of 1,000 templates.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "stores/addresses.h"
#include "stores/files.h"
#include "stores/settings.h"
#include "stores/templates.h"

namespace {

using namespace tallow;
using namespace tallow::stores;

// The controls need a window; nothing here asks it for a service.
class BenchHost : public Host {
 public:
  Services& Svc() override { throw std::logic_error("no services in a benchmark"); }
  void UnloadForm(Form&, int) override {}
};

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

struct Window {
  BenchHost host;
  Form form{host, "BenchWindow"};
  FileListBox File1{form, "File1", "*.txt"};
  ListBox List1{form, "List1"};
  ListBox List2{form, "List2"};
  TextBox txtSubject{form, "txtSubject"};
  TextBox txtMessage{form, "txtMessage"};
};

std::vector<std::string> Entries(int n) {
  std::vector<std::string> entries;
  for (int i = 0; i < n; ++i)
    entries.push_back(ContactEntry("Contact Name " + std::to_string(i), "contact" + std::to_string(i) + "@example.org"));
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

void BM_LoadTemplate(benchmark::State& state) {
  Folder folder;
  Window w;
  TemplateFolder(folder.path, static_cast<int>(state.range(0)));
  for (auto _ : state) LoadTemplate(folder.path, w.File1, w.List1);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_LoadTemplate)->Arg(1000)->Unit(benchmark::kMillisecond);

void BM_OpenListMessage(benchmark::State& state) {
  Folder folder;
  Window w;
  TemplateFolder(folder.path, 1000);
  LoadTemplate(folder.path, w.File1, w.List1);
  w.List1.SetListIndex(999);
  for (auto _ : state) OpenListMessage(folder.path, w.List1, w.File1, w.txtSubject, w.txtMessage);
}
BENCHMARK(BM_OpenListMessage)->Unit(benchmark::kMicrosecond);

void BM_NewFileName(benchmark::State& state) {
  Folder folder;
  Window w;
  TemplateFolder(folder.path, 1000);
  for (auto _ : state) benchmark::DoNotOptimize(NewFileName(folder.path, w.File1, 1, ".txt"));
}
BENCHMARK(BM_NewFileName)->Unit(benchmark::kMillisecond);

void BM_WriteTemplate(benchmark::State& state) {
  Folder folder;
  const std::string text = TemplateText("Subject", std::string(2000, 'm'));
  for (auto _ : state) benchmark::DoNotOptimize(WriteWholeText(JoinPath(folder.path, "data1.txt"), text));
}
BENCHMARK(BM_WriteTemplate)->Unit(benchmark::kMicrosecond);

// ---- settings ---------------------------------------------------------------------

void BM_ReFreshSettings(benchmark::State& state) {
  Folder folder;
  Window w;
  WriteSettings(folder.path, true, false);
  for (auto _ : state) ReFreshSettings(folder.path, w.List2, true);
}
BENCHMARK(BM_ReFreshSettings)->Unit(benchmark::kMicrosecond);

void BM_WriteSettings(benchmark::State& state) {
  Folder folder;
  for (auto _ : state) benchmark::DoNotOptimize(WriteSettings(folder.path, true, false));
}
BENCHMARK(BM_WriteSettings)->Unit(benchmark::kMicrosecond);

// ---- address files ---------------------------------------------------------------

// range(0): the entries in the file; the reader stops at 1,001.
void BM_ReadAddressFile(benchmark::State& state) {
  Folder folder;
  Window w;
  const std::string path = RootAddressFile(folder.path);
  WriteAddressFile(path, Entries(static_cast<int>(state.range(0))));
  for (auto _ : state) {
    w.List1.Clear();
    ReadAddressFile(path, w.List1);
  }
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

void BM_SaveList(benchmark::State& state) {
  Folder folder;
  Window w;
  for (const std::string& name : BookNames(kMaxListLines)) w.List1.AddItem(name);
  for (auto _ : state) benchmark::DoNotOptimize(SaveList(folder.path, "lst", "books", w.List1));
}
BENCHMARK(BM_SaveList)->Unit(benchmark::kMillisecond);

void BM_LoadList(benchmark::State& state) {
  Folder folder;
  Window w;
  for (const std::string& name : BookNames(kMaxListLines)) w.List1.AddItem(name);
  SaveList(folder.path, "lst", "books", w.List1);
  for (auto _ : state) {
    LoadList(folder.path, "lst", "books", w.List2);
    ApplyDefaultRule(w.List2, false);
  }
  state.SetItemsProcessed(state.iterations() * kMaxListLines);
}
BENCHMARK(BM_LoadList)->Unit(benchmark::kMillisecond);

}  // namespace
