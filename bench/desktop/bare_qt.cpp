// The yardstick for the start-up benchmark: a bare Qt Widgets program that
// shows one window and reports at the first pass of its event loop, as
// the probe build of tallowmark does.
#include <unistd.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.resize(400, 300);
  window.show();
  QTimer::singleShot(0, [] {
    std::ifstream status("/proc/self/status");
    long rss = 0;
    for (std::string line; std::getline(status, line);)
      if (line.rfind("VmRSS:", 0) == 0) rss = std::atol(line.c_str() + 6);
    std::printf("started rss_kib=%ld\n", rss);
    std::fflush(stdout);
    ::_exit(0);
  });
  return app.exec();
}
