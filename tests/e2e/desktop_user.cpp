#include "e2e/desktop_user.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "shell/welcome.h"
#include "support/needs.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>  // last: their macros clash with other headers

namespace tallow::e2e {

namespace fs = std::filesystem;
using desktop::testing::HaveTool;
using desktop::testing::Spawn;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

constexpr auto kPatience = 10s;  // a loaded machine may take this long for any one step

// Polls `done` until it holds or the patience runs out; true when it held.
template <class F>
bool Eventually(F&& done, std::chrono::milliseconds patience = kPatience) {
  const auto until = Clock::now() + patience;
  for (;;) {
    if (done()) return true;
    if (Clock::now() >= until) return false;
    std::this_thread::sleep_for(50ms);
  }
}

// Ends a process the test started: politely with the signal, then for sure.
// Its exit status, or -1 when a signal ended it.
int Stop(pid_t& pid, int signal = SIGTERM) {
  if (pid <= 0) return -1;
  ::kill(pid, signal);
  int status = 0;
  const bool ended = Eventually([&] { return ::waitpid(pid, &status, WNOHANG) != 0; });
  if (!ended) {
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
  }
  pid = -1;
  return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// An extended regular expression that matches exactly `text`.
std::string Exactly(const std::string& text) {
  std::string out = "^";
  for (char c : text) {
    if (std::string_view(".[]()*+?{}|^$\\").find(c) != std::string_view::npos) out += '\\';
    out += c;
  }
  return out + "$";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

// True when the pixels show more than one colour: something is drawn there.
bool Drawn(const std::string& pixels) {
  for (size_t i = 4; i + 4 <= pixels.size(); i += 4)
    if (pixels.compare(i, 4, pixels, 0, 4) != 0) return true;
  return false;
}

std::string UserName() {
  passwd* pw = ::getpwuid(::getuid());
  return pw ? pw->pw_name : "root";
}

}  // namespace

Point Centre(const Control& control) {
  Point p{control.geometry.left + control.geometry.width / 2, control.geometry.top + control.geometry.height / 2};
  // The desktop places a control inside its frame, relative to the frame.
  for (const Control* c = control.Container(); c && c->Kind() == ControlKind::Frame; c = c->Container()) {
    p.x += c->geometry.left;
    p.y += c->geometry.top;
  }
  return p;
}

Point FirstRow(const ListBox& list) {
  Point p = Centre(list);
  p.y += 8 - list.geometry.height / 2;  // below the list's border, well inside a row of the window's font
  return p;
}

std::string Capture(const std::vector<std::string>& argv, int* status) {
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return {};
  const pid_t pid = Spawn(argv, fds[1]);
  ::close(fds[1]);
  std::string out;
  char buf[4096];
  for (ssize_t n; pid > 0 && (n = ::read(fds[0], buf, sizeof buf)) > 0;) out.append(buf, static_cast<size_t>(n));
  ::close(fds[0]);
  const int st = desktop::testing::Wait(pid);
  if (status) *status = st;
  return out;
}

// ---- the program ----------------------------------------------------------------

void DesktopUser::SetUp() {
  for (const std::string tool : {"Xvfb", "xdotool", "trayer", "xclip"})
    TALLOWMARK_NEEDS(HaveTool(tool), tool + " is not installed");
  TALLOWMARK_NEEDS(::access("/usr/sbin/sendmail", X_OK) == 0, "no local mail system");

  server_ = std::make_unique<desktop::testing::XServer>();
  ASSERT_TRUE(server_->Ok()) << server_->Error();
  // The program runs on that display, in a runtime folder of this test's own.
  const std::string runtime = testFolder_.path() + "/runtime";
  ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
  ::setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);

  // The program folder is the executable's folder: a copy, not a link.
  programFolder_ = testFolder_.path() + "/program";
  fs::create_directory(programFolder_);
  fs::copy_file(TALLOWMARK_EXE, InProgramFolder("tallowmark"));

  StartNotificationArea();
}

void DesktopUser::TearDown() {
  Stop(textWindow_);
  Stop(program_);
  if (HasFailure()) std::cerr << ProgramErrors();
  Stop(clipboard_);
  Stop(trayer_);
  if (display_) XCloseDisplay(display_);
  display_ = nullptr;
  server_.reset();
}

void DesktopUser::StartNotificationArea() {
  // On this test's display, whatever DISPLAY says: no two tests share a notification area.
  trayer_ = Spawn({"trayer", "--display", server_->Display(), "--edge", "top", "--align", "right", "--widthtype",
                   "request", "--height", "24", "--transparent", "false", "--expand", "true"});
  ASSERT_GT(trayer_, 0);
  ASSERT_TRUE(Eventually([&] {
    return !Capture({"xdotool", "search", "--maxdepth", "1", "--onlyvisible", "--pid", std::to_string(trayer_)})
                .empty();
  })) << "the notification area did not come up";
}

void DesktopUser::StopNotificationArea() { Stop(trayer_); }

void DesktopUser::StartProgram(const std::vector<std::string>& wrapper, const std::string& setup) {
  // Its standard error goes to a file of the test's own, to be read by the
  // tests and shown when one fails.
  std::vector<std::string> argv = wrapper;
  argv.insert(argv.end(), {"sh", "-c", "exec 2>>\"$1\"; " + (setup.empty() ? "" : setup + " && ") + "exec \"$0\"",
                           InProgramFolder("tallowmark"), ErrorsFile()});
  program_ = Spawn(argv);
  ASSERT_GT(program_, 0);
}

void DesktopUser::StartPastTheWelcome() {
  shell::Welcome welcome(app);
  StartProgram();
  const std::string window = WaitWindow(kAppTitle);
  ASSERT_FALSE(window.empty()) << "the welcome window did not show";
  Click(window, welcome.Command1);  // "Ready!"
  ASSERT_TRUE(WaitGone(kAppTitle)) << "\"Ready!\" did not hide the welcome window";
}

void DesktopUser::StartQuietly(const std::vector<std::string>& wrapper, const std::string& setup) {
  testing::WriteFile(InProgramFolder("settings.dat"), "1:\r\n0:\r\n[END]\r\n");
  testing::WriteFile(InProgramFolder("showyes.dat"), "NoShow\r\n");
  StartProgram(wrapper, setup);
}

std::string DesktopUser::ErrorsFile() const { return testFolder_.path() + "/stderr"; }

std::string DesktopUser::ProgramErrors() const {
  return testing::Exists(ErrorsFile()) ? testing::ReadFile(ErrorsFile()) : "";
}

bool DesktopUser::WaitErrors(const std::string& text) {
  return Eventually([&] { return ProgramErrors().find(text) != std::string::npos; });
}

int DesktopUser::StartAnotherCopy(const std::string& exe, std::string& errors, const std::string& runtime) {
  const std::string file = testFolder_.path() + "/stderr-another";
  pid_t another = Spawn(
      {"sh", "-c", "[ -z \"$2\" ] || export XDG_RUNTIME_DIR=\"$2\"; exec \"$0\" 2>\"$1\"", exe, file, runtime});
  if (another <= 0) return -2;
  AnswerBox(kAppTitle);
  int status = 0;
  const bool ended = Eventually([&] { return ::waitpid(another, &status, WNOHANG) == another; });
  if (!ended) Stop(another, SIGKILL);
  errors = testing::Exists(file) ? testing::ReadFile(file) : "";
  return !ended ? -2 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void DesktopUser::EndProgram() { Stop(program_); }

void DesktopUser::SignalProgram(int signal) {
  ASSERT_GT(program_, 0) << "the program is not running";
  ::kill(program_, signal);
}

int DesktopUser::EndProgramWith(int signal) { return Stop(program_, signal); }

bool DesktopUser::ProgramRunning() {
  int status = 0;
  if (program_ <= 0) return false;
  if (::waitpid(program_, &status, WNOHANG) == 0) return true;
  ADD_FAILURE() << "the program ended by itself, "
                << (WIFSIGNALED(status) ? "killed by signal " + std::to_string(WTERMSIG(status))
                                        : "exit status " + std::to_string(WEXITSTATUS(status)));
  program_ = -1;
  return false;
}

long DesktopUser::ProgramResidentKiB() const {
  if (program_ <= 0) return 0;
  std::ifstream status("/proc/" + std::to_string(program_) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

int DesktopUser::WaitProgramEnd() {
  int status = 0;
  if (program_ <= 0) return -2;
  if (!Eventually([&] { return ::waitpid(program_, &status, WNOHANG) == program_; })) return -2;
  program_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// ---- the notification area -----------------------------------------------------------

bool DesktopUser::InNotificationArea(const std::string& window) {
  if (!display_) display_ = XOpenDisplay(nullptr);
  if (!display_ || trayer_ <= 0) return false;
  // At any depth: a window manager puts trayer's windows into frames of its own.
  const auto trayers = Lines(Capture({"xdotool", "search", "--pid", std::to_string(trayer_)}));
  for (::Window w = std::stoul(window), root = 0, parent = 0, *children = nullptr; w;) {
    if (std::find(trayers.begin(), trayers.end(), std::to_string(w)) != trayers.end()) return true;
    unsigned n = 0;
    if (!XQueryTree(display_, w, &root, &parent, &children, &n)) return false;
    if (children) XFree(children);
    w = parent == root ? 0 : parent;
  }
  return false;
}

std::string DesktopUser::DockedIcon() {
  if (trayer_ <= 0 || program_ <= 0) return "";
  for (const auto& w : Lines(Capture({"xdotool", "search", "--onlyvisible", "--pid", std::to_string(program_)})))
    if (InNotificationArea(w)) return w;
  return "";
}

bool DesktopUser::WaitTrayIconGone() {
  return Eventually([&] { return DockedIcon().empty(); });
}

std::string DesktopUser::WaitTrayIcon() {
  if (trayer_ <= 0 || program_ <= 0) return "";
  std::string icon;
  Eventually([&] { return !(icon = DockedIcon()).empty() || !ProgramRunning(); });
  // A user sees it flash before acting on it. Start-up has ended by then:
  // the flash is the longest of its timers (the Send Email window hides
  // itself 100 ms after its load), and the first to start. Its first picture
  // is the one drawn, not the plain background of the area before that.
  std::string drawn;
  if (icon.empty() || !Eventually([&] { return Drawn(drawn = Pixels(icon)); })) return "";
  if (NextPicture(icon, drawn).empty()) {
    ADD_FAILURE() << "the icon does not flash";
    return "";
  }
  return icon;
}

std::string DesktopUser::Pixels(const std::string& window) {
  if (!display_) display_ = XOpenDisplay(nullptr);
  XWindowAttributes a{};
  if (!display_ || !XGetWindowAttributes(display_, std::stoul(window), &a)) return "";
  XImage* image = XGetImage(display_, std::stoul(window), 0, 0, static_cast<unsigned>(a.width),
                            static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
  if (!image) return "";
  std::string pixels(image->data, static_cast<size_t>(image->bytes_per_line) * static_cast<size_t>(image->height));
  XDestroyImage(image);
  return pixels;
}

std::string DesktopUser::NextPicture(const std::string& window, const std::string& now) {
  std::string seen = now, last;
  // Read until two reads a moment apart agree: never a picture half drawn.
  Eventually([&] {
    last = seen;
    seen = Pixels(window);
    return seen != now && seen == last;
  });
  return seen != now && seen == last ? seen : "";
}

void DesktopUser::MouseDown(const std::string& window, int button) {
  ASSERT_FALSE(window.empty()) << "no window to press on";
  Xdotool({"mousemove", "--window", window, "--polar", "0", "0", "mousedown", std::to_string(button)});
}

void DesktopUser::MouseUp(int button) { Xdotool({"mouseup", std::to_string(button)}); }

// ---- windows ----------------------------------------------------------------------

std::vector<std::string> DesktopUser::Visible(const std::string& title) {
  return Lines(Capture({"xdotool", "search", "--onlyvisible", "--name", Exactly(title)}));
}

std::vector<std::string> DesktopUser::ProgramWindows() {
  if (program_ <= 0) return {};
  // Top-level windows only: an icon embedded in the notification area is not
  // one. On a busy machine the icon shows as a top-level window for a moment,
  // until trayer takes it in: a window of an icon's size that is in the
  // notification area a moment later is not counted either.
  std::vector<std::string> windows;
  for (const auto& w :
       Lines(Capture({"xdotool", "search", "--maxdepth", "1", "--onlyvisible", "--pid", std::to_string(program_)}))) {
    if (!display_) display_ = XOpenDisplay(nullptr);
    XWindowAttributes a{};
    const bool iconSized = display_ && XGetWindowAttributes(display_, std::stoul(w), &a) && a.width <= 48 &&
                           a.height <= 48;
    if (!iconSized || !Eventually([&] { return InNotificationArea(w); }, 1s)) windows.push_back(w);
  }
  return windows;
}

std::string DesktopUser::WaitWindow(const std::string& title) {
  std::vector<std::string> found;
  Eventually([&] { return !(found = Visible(title)).empty() || !ProgramRunning(); });
  EXPECT_EQ(found.size(), 1u) << "windows titled \"" << title << "\"";
  return found.empty() ? "" : found.front();
}

std::string DesktopUser::TapUntilShown(const std::string& key, const std::string& title) {
  std::vector<std::string> found;
  Eventually([&] {
    Key(key);
    Eventually([&] { return !(found = Visible(title)).empty() || !ProgramRunning(); }, 2s);
    return !found.empty() || !ProgramRunning();
  });
  return found.empty() ? "" : found.front();
}

bool DesktopUser::WaitGone(const std::string& title) {
  return Eventually([&] { return Visible(title).empty(); });
}

void DesktopUser::Xdotool(const std::vector<std::string>& args) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), args.begin(), args.end());
  int status = 0;
  Capture(argv, &status);
  EXPECT_EQ(status, 0) << "xdotool " << args.front() << " failed";
}

void DesktopUser::CloseWindow(const std::string& window) {
  if (!display_) display_ = XOpenDisplay(nullptr);
  ASSERT_TRUE(display_ && !window.empty()) << "no window to close";
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = std::stoul(window);
  event.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, event.xclient.window, False, NoEventMask, &event);
  XFlush(display_);
}

void DesktopUser::Click(const std::string& window, Point at) {
  ASSERT_FALSE(window.empty()) << "no window to click in";
  Xdotool({"mousemove", "--window", window, std::to_string(at.x), std::to_string(at.y), "click", "1"});
}

// xdotool types a line feed as a key no text box takes: a line break is Return.
void DesktopUser::Type(const std::string& text) {
  size_t from = 0;
  for (size_t lf; (lf = text.find('\n', from)) != std::string::npos; from = lf + 1) {
    if (lf > from) Xdotool({"type", "--delay", "20", text.substr(from, lf - from)});
    Key("Return");
  }
  if (from < text.size()) Xdotool({"type", "--delay", "20", text.substr(from)});
}

std::string DesktopUser::CopyOut(const std::string& window, const Control& box, const std::string& expected) {
  Click(window, box);
  PutOnClipboard("something else");
  Key("ctrl+a");
  Key("ctrl+c");
  return WaitClipboard(expected);
}

void DesktopUser::Key(const std::string& keys) { Xdotool({"key", keys}); }

void DesktopUser::AnswerBox(const std::string& title) {
  const std::string box = WaitWindow(title);
  ASSERT_FALSE(box.empty()) << "no message box \"" << title << "\"";
  // The box takes the keyboard focus as it opens; Return presses its default button.
  ASSERT_TRUE(Eventually([&] {
    return Capture({"xdotool", "getwindowfocus"}) == box + "\n";
  })) << "the message box \""
      << title << "\" did not get the keyboard focus";
  Key("Return");
  ASSERT_TRUE(WaitGone(title)) << "the message box \"" << title << "\" stayed open";
}

// ---- the clipboard ------------------------------------------------------------------

void DesktopUser::PutOnClipboard(const std::string& text) {
  Stop(clipboard_);
  const std::string file = testFolder_.path() + "/clipboard.txt";
  testing::WriteFile(file, text);
  // Held in the foreground so that the test can end it.
  clipboard_ = Spawn({"xclip", "-quiet", "-selection", "clipboard", "-i", file});
  ASSERT_GT(clipboard_, 0);
  ASSERT_EQ(WaitClipboard(text), text);
}

std::string DesktopUser::ClipboardText() { return Capture({"xclip", "-o", "-selection", "clipboard"}); }

std::string DesktopUser::WaitClipboard(const std::string& expected) {
  std::string got;
  Eventually([&] { return (got = ClipboardText()) == expected; });
  return got;
}

// ---- files and mail -------------------------------------------------------------------

std::vector<std::string> DesktopUser::ProgramFolderListing() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::recursive_directory_iterator(programFolder_))
    names.push_back(fs::relative(entry.path(), programFolder_).string() + (entry.is_directory() ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

std::string DesktopUser::WaitFile(const std::string& path, const std::string& expected) {
  std::string got;
  Eventually([&] { return (got = testing::ReadFile(path)) == expected; });
  return got;
}

std::pair<std::string, std::string> DesktopUser::Delivered(const std::string& token) {
  const std::string box = "/var/mail/" + UserName();
  std::string message, last;
  // Read under the mail system's lock, until the message is there and reads
  // the same twice: whole.
  Eventually([&] {
    const std::string all = testing::ReadFileLocked(box);
    const size_t at = all.find(token);
    if (at == std::string::npos) return false;
    size_t start = all.rfind("\nFrom ", at);
    start = start == std::string::npos ? 0 : start + 1;
    const size_t end = all.find("\nFrom ", at);
    last = message;
    message = all.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
    return message == last;
  });
  const size_t blank = message.find("\n\n");
  if (message.empty() || blank == std::string::npos) return {};
  return {message.substr(0, blank + 1), message.substr(blank + 2)};
}

std::string DesktopUser::LocalAddress() const { return UserName() + "@localhost"; }

std::string DesktopUser::Token() const {
  return "e2e-" + std::to_string(::getpid()) + "-" + std::to_string(Clock::now().time_since_epoch().count());
}

// ---- another program's window -----------------------------------------------------------

bool DesktopUser::StartTextWindow() {
  const std::string out = testFolder_.path() + "/typed.txt";
  textWindow_ = Spawn({TYPESINK_EXE, out});
  return textWindow_ > 0 && Eventually([&] { return fs::exists(out + ".ready"); });
}

std::string DesktopUser::TypedText() { return testing::ReadFile(testFolder_.path() + "/typed.txt"); }

std::string DesktopUser::WaitTyped(const std::string& expected) {
  std::string got;
  Eventually([&] { return (got = TypedText()) == expected; });
  return got;
}

void DesktopUser::Screenshot(const std::string& name) {
  const char* folder = std::getenv("TALLOWMARK_SHOTS");
  if (!folder || !*folder) return;
  fs::create_directories(folder);
  const std::string file = (fs::path(folder) / (name + ".png")).string();
  Capture({"import", "-window", "root", file});
}

}  // namespace tallow::e2e
