// What the running program costs while nothing happens: its share of one core
// and the X requests it sends a second, with the tray icon flashing and the
// hot-key poll running, on a virtual display of its own with trayer as the
// notification area. The requests are counted by the X server's RECORD
// extension, for the program's own connections only.
//
// Beside it, over the same time on a display of its own, the floor: a bare
// Qt program with a 100 ms timer and a tray icon that flashes once a second
// (bare_qt --idle), which is what the program's design cannot do without.
// The floor's requests are the icon's repaint.
//
// TALLOWMARK_IDLE_SECONDS sets the measured time (60 s unless set);
// TALLOWMARK_IDLE_EXE measures another build of the program.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
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

// The CPU time the process's threads have used so far, to the nanosecond
// (the clock ticks of /proc/PID/stat come a hundredth of a second apart, too
// coarse for a program that runs a millisecond a second). At rest no thread
// comes or goes.
double CpuSeconds(pid_t pid) {
  std::error_code ec;
  unsigned long long ns = 0;
  for (const auto& task : fs::directory_iterator("/proc/" + std::to_string(pid) + "/task", ec)) {
    unsigned long long run = 0;
    if (std::ifstream(task.path() / "schedstat") >> run) ns += run;
  }
  return static_cast<double>(ns) / 1e9;
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

// A program running at rest on a display of its own, with trayer as its
// notification area, its requests counted from its start.
class AtRest {
 public:
  explicit AtRest(const std::initializer_list<std::string>& argv) {
    if (!server_.Ok()) {
      error_ = "no virtual display: " + server_.Error();
      return;
    }
    trayer_ = Spawn({"trayer", "--edge", "top", "--align", "right", "--widthtype", "request", "--height", "24",
                     "--transparent", "false", "--expand", "true"});
    if (trayer_ <= 0) {
      error_ = "trayer is not installed";
      return;
    }
    std::this_thread::sleep_for(1s);
    counter_ = std::make_unique<RequestCounter>();
    if (!counter_->Ok()) {
      error_ = "the X server does not record requests";
      return;
    }
    process_ = Spawn(argv);
    if (process_ <= 0) error_ = "cannot start " + *argv.begin();
  }
  ~AtRest() {
    for (pid_t pid : {process_, trayer_})
      if (pid > 0) {
        ::kill(pid, SIGTERM);
        ::waitpid(pid, nullptr, 0);
      }
  }
  const std::string& Error() const { return error_; }
  void Collect(std::chrono::milliseconds wait) { counter_->Collect(wait); }
  void Begin() {
    counter_->requests = 0;
    cpu_ = CpuSeconds(process_);
  }
  // Since Begin, over `elapsed` seconds.
  double CpuPercent(double elapsed) const { return 100.0 * (CpuSeconds(process_) - cpu_) / elapsed; }
  double RequestsPerSecond(double elapsed) const { return static_cast<double>(counter_->requests) / elapsed; }

 private:
  XServer server_;  // first: the others are its clients
  pid_t trayer_ = -1;
  std::unique_ptr<RequestCounter> counter_;
  pid_t process_ = -1;
  double cpu_ = 0;
  std::string error_;
};

void BM_Idle(benchmark::State& state) {
  const char* seconds = std::getenv("TALLOWMARK_IDLE_SECONDS");
  const auto measured = std::chrono::seconds(seconds ? std::atoi(seconds) : 60);
  const char* exe = std::getenv("TALLOWMARK_IDLE_EXE");

  // A program folder of its own, as after the first start: no welcome window.
  std::string folder = (fs::temp_directory_path() / "tallowmark-idle-XXXXXX").string();
  if (!::mkdtemp(folder.data())) return state.SkipWithError("no temporary folder");
  fs::copy_file(exe ? exe : TALLOWMARK_EXE, folder + "/tallowmark");
  std::ofstream(folder + "/settings.dat", std::ios::binary) << "1:\r\n0:\r\n[END]\r\n";
  std::ofstream(folder + "/showyes.dat", std::ios::binary) << "NoShow\r\n";

  double cpu = 0, requests = 0, floorCpu = 0, floorRequests = 0;
  {
    AtRest program({folder + "/tallowmark"});
    AtRest floor({BARE_QT_EXE, "--idle", ASSETS_DIR});
    for (const AtRest* run : {&program, &floor})
      if (!run->Error().empty()) {
        fs::remove_all(folder);
        return state.SkipWithError(run->Error().c_str());
      }
    // Start-up is over well within this.
    for (auto until = Clock::now() + 5s; Clock::now() < until;) {
      program.Collect(50ms);
      floor.Collect(50ms);
    }
    for (auto _ : state) {
      program.Begin();
      floor.Begin();
      const auto start = Clock::now();
      for (auto until = start + measured; Clock::now() < until;) {
        program.Collect(50ms);
        floor.Collect(50ms);
      }
      const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
      cpu = program.CpuPercent(elapsed);
      requests = program.RequestsPerSecond(elapsed);
      floorCpu = floor.CpuPercent(elapsed);
      floorRequests = floor.RequestsPerSecond(elapsed);
      state.SetIterationTime(elapsed);
    }
  }
  fs::remove_all(folder);
  state.counters["cpu_percent"] = cpu;
  state.counters["floor_cpu_percent"] = floorCpu;
  state.counters["cpu_to_floor"] = floorCpu > 0 ? cpu / floorCpu : 0;
  state.counters["x_requests_per_s"] = requests;
  state.counters["floor_x_requests_per_s"] = floorRequests;
}
BENCHMARK(BM_Idle)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
