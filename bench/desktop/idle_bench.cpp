// What the running program costs while nothing happens: its share of one core
// and the X requests it sends a second, with the tray icon flashing and the
// hot-key poll running, on a virtual display of its own with trayer as the
// notification area. The requests are counted by the X server's RECORD
// extension, for the program's own connections only.
//
// TALLOWMARK_IDLE_SECONDS sets the measured time (60 s unless set);
// TALLOWMARK_IDLE_EXE measures another build of the program.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "desktop/xserver.h"

#include <X11/Xlib.h>
#include <X11/extensions/record.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using tallow::desktop::testing::Spawn;
using tallow::desktop::testing::XServer;

// The CPU time the process has used so far, user and system, all threads.
double CpuSeconds(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // The fields after the command name, which may hold blanks, in brackets.
  std::istringstream fields(all.substr(all.rfind(')') + 2));
  std::string field;
  unsigned long long utime = 0, stime = 0;
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::stoull(field);
    if (i == 15) stime = std::stoull(field);
  }
  return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Counts the requests of every client that connects after it starts.
class RequestCounter {
 public:
  RequestCounter() {
    control_ = XOpenDisplay(nullptr);
    data_ = XOpenDisplay(nullptr);
    int major = 0, minor = 0;
    if (!control_ || !data_ || !XRecordQueryVersion(control_, &major, &minor)) return;
    XRecordRange* range = XRecordAllocRange();
    range->core_requests = {1, 127};
    range->ext_requests.ext_major = {128, 255};
    range->ext_requests.ext_minor = {0, 65535};
    XRecordClientSpec clients = XRecordFutureClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control_, False);
    if (context_ &&
        !XRecordEnableContextAsync(data_, context_, &RequestCounter::Seen, reinterpret_cast<XPointer>(this)))
      context_ = 0;
  }
  ~RequestCounter() {
    if (context_) {
      XRecordDisableContext(control_, context_);
      XRecordFreeContext(control_, context_);
      XSync(control_, False);
    }
    if (data_) XCloseDisplay(data_);
    if (control_) XCloseDisplay(control_);
  }
  bool Ok() const { return context_ != 0; }
  // Takes in what the server recorded, for up to `wait`.
  void Collect(std::chrono::milliseconds wait) {
    pollfd p{ConnectionNumber(data_), POLLIN, 0};
    ::poll(&p, 1, static_cast<int>(wait.count()));
    XRecordProcessReplies(data_);
  }
  long long requests = 0;

 private:
  static void Seen(XPointer self, XRecordInterceptData* data) {
    if (data->category == XRecordFromClient) ++reinterpret_cast<RequestCounter*>(self)->requests;
    XRecordFreeData(data);
  }
  Display* control_ = nullptr;
  Display* data_ = nullptr;
  XRecordContext context_ = 0;
};

void BM_Idle(benchmark::State& state) {
  const char* seconds = std::getenv("TALLOWMARK_IDLE_SECONDS");
  const auto measured = std::chrono::seconds(seconds ? std::atoi(seconds) : 60);
  const char* exe = std::getenv("TALLOWMARK_IDLE_EXE");
  XServer server;
  if (!server.Ok()) return state.SkipWithError(("no virtual display: " + server.Error()).c_str());
  pid_t trayer = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                        "--transparent", "false", "--expand", "true"});
  if (trayer <= 0) return state.SkipWithError("trayer is not installed");
  std::this_thread::sleep_for(1s);

  // A program folder of its own, as after the first start: no welcome window.
  std::string folder = (fs::temp_directory_path() / "tallowmark-idle-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return state.SkipWithError("no temporary folder");
  fs::copy_file(exe ? exe : TALLOWMARK_EXE, folder + "/tallowmark");
  std::ofstream(folder + "/settings.dat", std::ios::binary) << "1:\r\n0:\r\n[END]\r\n";
  std::ofstream(folder + "/showyes.dat", std::ios::binary) << "NoShow\r\n";

  double cpu = 0, requests = 0;
  {
    RequestCounter counter;
    if (!counter.Ok()) {
      ::kill(trayer, SIGTERM);
      ::waitpid(trayer, nullptr, 0);
      return state.SkipWithError("the X server does not record requests");
    }
    pid_t program = Spawn({folder + "/tallowmark"});
    // Start-up is over well within this.
    for (auto until = Clock::now() + 5s; Clock::now() < until;) counter.Collect(100ms);
    for (auto _ : state) {
      counter.requests = 0;
      const double cpuBefore = CpuSeconds(program);
      const auto start = Clock::now();
      for (auto until = start + measured; Clock::now() < until;) counter.Collect(100ms);
      const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      cpu = 100.0 * (CpuSeconds(program) - cpuBefore) / elapsed;
      requests = static_cast<double>(counter.requests) / elapsed;
      state.SetIterationTime(elapsed);
    }
    ::kill(program, SIGTERM);
    ::waitpid(program, nullptr, 0);
  }
  ::kill(trayer, SIGTERM);
  ::waitpid(trayer, nullptr, 0);
  fs::remove_all(folder);
  state.counters["cpu_percent"] = cpu;
  state.counters["x_requests_per_s"] = requests;
}
BENCHMARK(BM_Idle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
