// The real desktop on a virtual display of its own: how fast text is typed
// into the focused window; how long tallowmark takes from process start to
// the first pass of its event loop (and how much memory it holds then), side
// by side with a bare Qt Widgets program; how long it takes until the Send
// Email window answers F10, with empty files and with files at their limits;
// how long the Send Email window takes to open a large template; how long the
// tutorial view holds up the event loop with a hostile page and with a large
// one; and how much memory a send takes when the mail system says 400 MB
// before it fails.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "desktop/loopback_server.h"
#include "desktop/xserver.h"
#include "platform/desktop/desktop.h"
#include "platform/desktop/mail.h"
#include "platform/desktop/typing.h"
#include "platform/desktop/web_view.h"
#include "platform/text.h"
#include "program.h"

#include <X11/Xatom.h>  // after Qt: its macros clash with Qt's names
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;
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

// A fresh folder under the system's temporary folder; "" when none can be made.
std::string NewFolder() {
  std::string templ = (fs::temp_directory_path() / "tallowmark-bench-XXXXXX").string();
  return ::mkdtemp(templ.data()) ? templ : std::string();
}

std::string Text(size_t length, bool nonAscii) {
  const std::string ascii = "The quick brown fox jumps over the lazy dog; (1+2)^3 = 27 {ok} ~ 100% ";
  const std::string mixed = "Grüße aus Köln, 5 € für ß und é; ";
  const std::string& unit = nonAscii ? mixed : ascii;
  std::string text;
  while (text.size() < length) text += unit;
  return text;
}

void BM_Typing(benchmark::State& state, bool nonAscii) {
  if (!Display()) return state.SkipWithError("no virtual display (Xvfb)");
  XTestKeyboard keyboard;
  const std::string text = Text(400, nonAscii);
  for (auto _ : state) {
    keyboard.Type(text);
    keyboard.WaitIdle();
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * tallow::text::CharacterCount(text)));
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
  const fs::path folder = NewFolder();
  if (folder.empty()) return exe;
  fs::path copy = folder / fs::path(exe).filename();
  fs::copy_file(exe, copy);
  return copy.string();
}

void BM_StartUp(benchmark::State& state, const char* exe) {
  if (!Display()) return state.SkipWithError("no virtual display (Xvfb)");
  static const std::string program = Copied(exe);
  long rss = 0;
  for (auto _ : state) {
    rss = StartOnce(program);
    if (rss < 0) return state.SkipWithError("the program did not report its start");
  }
  state.counters["rss_MiB"] = static_cast<double>(rss) / 1024.0;
}
BENCHMARK_CAPTURE(BM_StartUp, tallowmark, TALLOWMARK_PROBE_EXE)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_StartUp, bare_qt, BARE_QT_EXE)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- start-up until the Send Email window answers F10 ----------------------------

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A program folder of its own holding a copy of the program, the settings,
// the marker that keeps the welcome window hidden, `books` names in
// books.lst ("Default" first) and `entries` contacts in "Default", the book
// the Send Email window opens with. Returns the program's path.
std::string ProgramWith(const char* exe, int books, int entries) {
  const fs::path folder = NewFolder();
  if (folder.empty()) return {};
  fs::copy_file(exe, folder / "tallowmark");
  WriteText(folder / "settings.dat", "1:\r\n0:\r\n[END]\r\n");
  WriteText(folder / "showyes.dat", "NoShow\r\n");
  if (books > 0) {
    std::string list = "Default\r\n";
    for (int i = 1; i < books; ++i) list += "Address book number " + std::to_string(i) + "\r\n";
    WriteText(folder / "books.lst", list);
  }
  if (entries > 0) {
    std::string book;
    for (int i = 0; i < entries; ++i)
      book += "Contact " + std::to_string(i) + ": contact" + std::to_string(i) + "@example.org*\r\n";
    fs::create_directory(folder / "Default");
    WriteText(folder / "Default" / "address.dat", book);
  }
  return (folder / "tallowmark").string();
}

// Windows come and go while we look at them: their errors are no concern here.
int IgnoreXErrors(::Display*, XErrorEvent*) { return 0; }

// Whether a top-level window whose title ends in `suffix` is on the screen.
bool Showing(::Display* x, const std::string& suffix) {
  const Atom name = XInternAtom(x, "_NET_WM_NAME", False), utf8 = XInternAtom(x, "UTF8_STRING", False);
  ::Window root, parent, *children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(x, children[i], &attributes) || attributes.map_state != IsViewable) continue;
    Atom type;
    int format;
    unsigned long items, after;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(x, children[i], name, 0, 256, False, utf8, &type, &format, &items, &after, &data) ==
            Success &&
        data) {
      const std::string title(reinterpret_cast<char*>(data), items);
      found = title.size() >= suffix.size() && title.compare(title.size() - suffix.size(), suffix.size(), suffix) == 0;
      XFree(data);
    }
  }
  if (children) XFree(children);
  return found;
}

// Starts the program with F10 held down, as a user who wants the Send Email
// window at once; the time until it shows, or a negative time when it has not
// shown within the patience.
double UntilF10Answers(::Display* x, const std::string& exe) {
  constexpr auto kPatience = std::chrono::minutes(15);
  const KeyCode f10 = XKeysymToKeycode(x, XK_F10);
  XTestFakeKeyEvent(x, f10, True, 0);
  XFlush(x);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  std::string arg0 = exe;
  char* argv[] = {arg0.data(), nullptr};
  pid_t pid = -1;
  const auto start = std::chrono::steady_clock::now();
  const int rc = posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  double seconds = -1;
  bool ended = false;
  while (rc == 0 && !ended && std::chrono::steady_clock::now() - start < kPatience) {
    ended = ::waitpid(pid, nullptr, WNOHANG) == pid;
    if (Showing(x, " - [ Send Email ]")) {
      seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  XTestFakeKeyEvent(x, f10, False, 0);
  XFlush(x);
  if (rc == 0 && !ended) {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  return seconds;
}

void BM_StartUpUntilF10(benchmark::State& state, int books, int entries) {
  if (!Display()) return state.SkipWithError("no virtual display (Xvfb)");
  static ::Display* x = [] {
    XSetErrorHandler(IgnoreXErrors);
    return XOpenDisplay(Display()->Display().c_str());
  }();
  if (!x) return state.SkipWithError("the virtual display cannot be reached");
  const std::string program = ProgramWith(TALLOWMARK_EXE, books, entries);
  for (auto _ : state) {
    const double seconds = UntilF10Answers(x, program);
    if (seconds < 0) return state.SkipWithError("the Send Email window did not answer F10");
    state.SetIterationTime(seconds);
  }
  std::error_code ec;
  std::filesystem::remove_all(std::filesystem::path(program).parent_path(), ec);
}
BENCHMARK_CAPTURE(BM_StartUpUntilF10, empty, 0, 0)->Unit(benchmark::kMillisecond)->UseManualTime();
BENCHMARK_CAPTURE(BM_StartUpUntilF10, at_the_limits, 30001, 1001)->Unit(benchmark::kMillisecond)->UseManualTime();

// ---- the Send Email window opening a large template --------------------------------

// The program folder of the in-process window.
class FolderEnvironment : public tallow::Environment {
 public:
  explicit FolderEnvironment(std::string folder) : folder_(std::move(folder)) {}
  std::string ProgramFolder() override { return folder_; }
  std::string ExeName() override { return "tallowmark"; }
  std::string CurrentDirectory() override { return folder_; }

 private:
  std::string folder_;
};

// A message of `bytes` bytes: one line of letters without a blank (a pasted
// code or data line: the hardest for a text layout to wrap), or lines of
// words of 70 characters each.
std::string Message(size_t bytes, bool oneLine) {
  const std::string words = "The quick brown fox jumps over the lazy dog, then rests a while. 1234\r\n";
  std::string text;
  text.reserve(bytes + words.size());
  while (text.size() < bytes) text += oneLine ? std::string("abcdefghijklmnopqrstuvwxyz0123456789") : words;
  text.resize(bytes);
  return text;
}

// The Send Email window on the real widgets (Qt's offscreen platform), over a
// folder holding a small template and the large one; each run clicks the
// small one, then times the click on the large one until the window has been
// painted with it.
void BM_OpenTemplate(benchmark::State& state, bool oneLine) {
  const std::string templ = NewFolder();
  if (templ.empty()) return state.SkipWithError("no temporary folder");
  WriteText(fs::path(templ) / "data1.txt", "Small\r\nA short message.\r\n");
  WriteText(fs::path(templ) / "data2.txt",
            "Large\r\n" + Message(static_cast<size_t>(state.range(0)) * 1024, oneLine) + "\r\n");
  {
    tallow::desktop::Desktop desktop;
    FolderEnvironment env(templ);
    tallow::Services services = desktop.services();
    tallow::Program app(tallow::Services{services.messages, services.clipboard, services.keys, services.keyboard,
                                         services.tray, services.automation, services.mapi, services.loop, env,
                                         services.windows, services.dispatch});
    app.AppTitle = "Tallowmark";
    tallow::desk::Form1* w = nullptr;
    desktop.dispatch([&] {
      w = &app.Form1();
      w->Show();
    });
    QWidget* window = desktop.windows.WidgetOf(*w);
    auto* list = static_cast<QListWidget*>(desktop.windows.WidgetOf(w->List1));
    auto click = [&](int row) {
      QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
      window->repaint();
      QApplication::processEvents();
    };
    for (auto _ : state) {
      state.PauseTiming();
      click(0);
      state.ResumeTiming();
      click(1);
    }
    if (w->txtSubject.Text() != "Large") state.SkipWithError("the large template did not open");
  }
  std::error_code ec;
  fs::remove_all(templ, ec);
}
void TemplateSizes(benchmark::internal::Benchmark* b) {
  b->Arg(100)->Arg(1024)->Arg(5 * 1024)->ArgName("KiB")->Unit(benchmark::kMillisecond)->UseRealTime();
}
BENCHMARK_CAPTURE(BM_OpenTemplate, one_line, true)->Apply(TemplateSizes);
BENCHMARK_CAPTURE(BM_OpenTemplate, many_lines, false)->Apply(TemplateSizes);

// An ordinary web page of about `bytes` bytes: paragraphs with bold words and
// links, lists, and small tables.
QByteArray OrdinaryPage(qsizetype bytes) {
  QByteArray page = "<html><head><title>Tutorial</title></head><body><h1>Getting started</h1>\n";
  for (int i = 0; page.size() < bytes; ++i) {
    if (i % 10 == 9)
      page += "<h2>Templates</h2><ul><li>Open one<li>Change it<li>Save it</ul>\n";
    else if (i % 20 == 18)
      page += "<table border=1><tr><td>F10</td><td>Send Email</td></tr><tr><td>F9</td><td>Type</td></tr></table>\n";
    else
      page += "<p>The quick brown fox jumps over the <b>lazy</b> dog, then rests a while; the template "
              "settings keep <i>two</i> of them, and <a href=\"send.html\">Send Email</a> opens the "
              "window where the address book and the message wait for the next sending.</p>\n";
  }
  return page + "</body></html>";
}

// The tutorial view, as the program shows it, opens a page served on the
// loopback address and then goes to its end. Counters: the longest that one
// turn of the event loop took meanwhile, and whether the page was shown
// (else the view said it is too complex).
void BM_WebPage(benchmark::State& state, const char* kind) {
  using tallow::desktop::WebView;
  using tallow::desktop::testing::LoopbackServer;
  const std::string which = kind;
  const QByteArray page = which == "tables_within_tables" ? QByteArray("<table><tr><td>").repeated(20) + "x"
                          : which == "ordinary_4MiB"      ? OrdinaryPage((4 << 20) - 4096)
                                                          : OrdinaryPage(512 << 10);
  LoopbackServer server;
  server.answers["/page"] = [&](QTcpSocket& s) { LoopbackServer::Send(s, "200 OK", "text/html", page); };
  WebView view;
  view.resize(697, 425);
  view.show();
  qint64 longest = 0;
  bool shown = false;
  for (auto _ : state) {
    view.Navigate(QString::fromStdString(server.Site() + "/page"));
    QElapsedTimer clock;
    clock.start();
    bool arrived = false;
    while (!arrived && clock.elapsed() < 60000) {
      QElapsedTimer turn;
      turn.start();
      QApplication::processEvents(QEventLoop::AllEvents, 20);
      arrived = !view.document()->firstBlock().text().startsWith("Opening");
      if (arrived && (shown = !view.document()->firstBlock().text().contains("cannot be shown"))) {
        view.moveCursor(QTextCursor::End);
        view.viewport()->repaint();
      }
      longest = std::max(longest, turn.elapsed());
    }
    if (!arrived) return state.SkipWithError("the page did not come");
  }
  state.counters["longest_stall_ms"] = static_cast<double>(longest);
  state.counters["shown"] = shown;
  state.counters["page_KiB"] = static_cast<double>(page.size()) / 1024;
}
BENCHMARK_CAPTURE(BM_WebPage, tables_within_tables, "tables_within_tables")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WebPage, ordinary_4MiB, "ordinary_4MiB")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_WebPage, ordinary_512KiB, "ordinary_512KiB")->Unit(benchmark::kMillisecond)->UseRealTime();

// The peak resident memory of this process since the last reset (KiB).
long PeakKiB() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return -1;
}

void BM_TalkativeMailSystem(benchmark::State& state) {
  const std::string folder = NewFolder();
  if (folder.empty()) return state.SkipWithError("no temporary folder");
  const std::string sendmail = folder + "/sendmail";
  std::ofstream(sendmail) << "#!/bin/sh\ncat >/dev/null\nhead -c " << state.range(0)
                          << " /dev/zero | tr '\\0' x >&2\nexit 1\n";
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

// The Qt application of the in-process windows, on Qt's offscreen platform:
// the programs started above use the virtual display.
int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  int qtArgc = 3;
  char* qtArgv[] = {argv[0], const_cast<char*>("-platform"), const_cast<char*>("offscreen"), nullptr};
  QApplication qapp(qtArgc, qtArgv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
