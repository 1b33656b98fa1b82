// The real desktop on a virtual display of its own: how fast text is typed
// into the focused window, and how long tallowmark takes from process start
// to the first pass of its event loop (and how much memory it holds then),
// side by side with a bare Qt Widgets program. And how much memory a send
// takes when the mail system says 400 MB before it fails.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "desktop/xserver.h"
#include "platform/desktop/mail.h"
#include "platform/desktop/typing.h"

#include <X11/Xlib.h>  // last: its macros clash with other headers

extern char** environ;

namespace {

using tallow::desktop::XTestKeyboard;
using tallow::desktop::testing::XServer;

XServer* Display() {
  static std::unique_ptr<XServer> server = [] {
    auto s = std::make_unique<XServer>();
    if (!s->Ok()) std::fprintf(stderr, "no virtual display: %s\n", s->Error().c_str());
    return s;
  }();
  return server->Ok() ? server.get() : nullptr;
}

std::string Text(size_t length, bool nonAscii) {
  const std::string ascii = "The quick brown fox jumps over the lazy dog; (1+2)^3 = 27 {ok} ~ 100% ";
  const std::string mixed = "Grüße aus Köln, 5 € für ß und é; ";
  const std::string& unit = nonAscii ? mixed : ascii;
  std::string text;
  while (text.size() < length) text += unit;
  return text;
}

size_t Characters(const std::string& utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;
  return n;
}

void BM_Typing(benchmark::State& state, bool nonAscii) {
  if (!Display()) return state.SkipWithError("no virtual display (Xvfb)");
  XTestKeyboard keyboard;
  const std::string text = Text(400, nonAscii);
  for (auto _ : state) {
    keyboard.Type(text);
    keyboard.WaitIdle();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Characters(text)));
}
BENCHMARK_CAPTURE(BM_Typing, ascii, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Typing, with_non_ascii, true)->Unit(benchmark::kMillisecond)->UseRealTime();

// The whole keymap of the display, as symbols.
std::vector<unsigned long> Keymap(::Display* display) {
  int min = 0, max = 0, per = 0;
  XDisplayKeycodes(display, &min, &max);
  KeySym* map = XGetKeyboardMapping(display, static_cast<KeyCode>(min), max - min + 1, &per);
  std::vector<unsigned long> syms(map, map + (max - min + 1) * per);
  XFree(map);
  return syms;
}

// How long the keymap stays changed when a character missing from it is
// typed: from the text given until the spare key code is given back (the
// binding settling, the key, and the time the key code is kept after it).
void BM_BindingKeptAfterTyping(benchmark::State& state) {
  if (!Display()) return state.SkipWithError("no virtual display (Xvfb)");
  ::Display* display = XOpenDisplay(nullptr);
  const auto before = Keymap(display);
  XTestKeyboard keyboard;
  for (auto _ : state) {
    keyboard.Type("\xe2\x9c\x93");  // a check mark: on no keymap
    keyboard.WaitIdle();
    while (Keymap(display) != before) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  XCloseDisplay(display);
}
BENCHMARK(BM_BindingKeptAfterTyping)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// Runs the program until it reports its first event-loop pass; returns its
// resident memory then (KiB), or -1.
long StartOnce(const std::string& exe) {
  int out[2];
  if (::pipe(out) != 0) return -1;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string arg0 = exe;
  char* argv[] = {arg0.data(), nullptr};
  pid_t pid = -1;
  int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  std::string said;
  char buf[256];
  ssize_t n;
  while (rc == 0 && (n = ::read(out[0], buf, sizeof buf)) > 0) said.append(buf, static_cast<size_t>(n));
  ::close(out[0]);
  if (rc == 0) ::waitpid(pid, nullptr, 0);
  size_t at = said.find("rss_kib=");
  return at == std::string::npos ? -1 : std::atol(said.c_str() + at + 8);
}

// A copy of the executable in a folder of its own: tallowmark writes its data
// files next to itself.
std::string Copied(const char* exe) {
  namespace fs = std::filesystem;
  std::string templ = (fs::temp_directory_path() / "tallowmark-bench-XXXXXX").string();
  if (!::mkdtemp(templ.data())) return exe;
  fs::path copy = fs::path(templ) / fs::path(exe).filename();
  fs::copy_file(exe, copy);
  return copy.string();
}

void BM_StartUp(benchmark::State& state, const char* exe) {
  if (!Display()) return state.SkipWithError("no virtual display (Xvfb)");
  ::setenv("TALLOWMARK_STARTUP_PROBE", "1", 1);
  static const std::string program = Copied(exe);
  long rss = 0;
  for (auto _ : state) {
    rss = StartOnce(program);
    if (rss < 0) return state.SkipWithError("the program did not report its start");
  }
  state.counters["rss_MiB"] = static_cast<double>(rss) / 1024.0;
}
BENCHMARK_CAPTURE(BM_StartUp, tallowmark, TALLOWMARK_EXE)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_StartUp, bare_qt, BARE_QT_EXE)->Unit(benchmark::kMillisecond)->UseRealTime();

// The peak resident memory of this process since the last reset (KiB).
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

void BM_TalkativeMailSystem(benchmark::State& state) {
  namespace fs = std::filesystem;
  std::string folder = (fs::temp_directory_path() / "tallowmark-bench-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return state.SkipWithError("no temporary folder");
  const std::string sendmail = folder + "/sendmail";
  std::ofstream(sendmail) << "#!/bin/sh\ncat >/dev/null\nhead -c " << state.range(0) << " /dev/zero | tr '\\0' x >&2\nexit 1\n";
  fs::permissions(sendmail, fs::perms::owner_all);
  size_t said = 0;
  long peak = 0;
  for (auto _ : state) {
    std::ofstream("/proc/self/clear_refs") << "5";  // the peak from here on
    try {
      tallow::desktop::Sendmail(sendmail, "To: a@b.c\n\nbody\n");
    } catch (const tallow::MailError& e) {
      said = std::string(e.what()).size();
    }
    peak = PeakKiB();
  }
  state.counters["peak_rss_MiB"] = static_cast<double>(peak) / 1024.0;
  state.counters["failure_text_bytes"] = static_cast<double>(said);
  fs::remove_all(folder);
}
BENCHMARK(BM_TalkativeMailSystem)->Arg(400000000)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
