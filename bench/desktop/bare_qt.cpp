// The yardsticks for the benchmarks: bare Qt Widgets programs that do only
// what tallowmark cannot do without.
// - Without arguments, for the start-up benchmark: shows one window and
//   reports at the first pass of its event loop, as the probe build of
//   tallowmark does.
// - With "--idle" and the assets folder, for the idle benchmark: a 100 ms
//   timer that does nothing (the hot-key poll's) and a tray icon that flashes
//   between the program's two pictures once a second, until it is ended.
#include <unistd.h>

#include <QApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace {

QIcon Picture(const QString& assets, const char* name) {
  QIcon icon;
  for (const char* size : {"-16", "-32"}) icon.addFile(assets + "/" + name + size + ".png");
  return icon;
}

int Idle(QApplication& app, const QString& assets) {
  app.setQuitOnLastWindowClosed(false);
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [] {});
  poll.start(100);
  const QIcon pictures[] = {Picture(assets, "flash1"), Picture(assets, "flash2")};
  QSystemTrayIcon tray(pictures[0]);
  tray.setToolTip(QStringLiteral("bare_qt"));
  tray.show();
  bool second = false;
  QTimer flash;
  QObject::connect(&flash, &QTimer::timeout, [&] {
    second = !second;
    tray.setIcon(pictures[second]);
  });
  flash.start(1000);
  return app.exec();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc == 3 && std::strcmp(argv[1], "--idle") == 0) return Idle(app, QString::fromLocal8Bit(argv[2]));
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
