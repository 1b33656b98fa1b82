// The desktop's widget tests run on Qt's offscreen platform: no display needed.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <filesystem>
#include <string>

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  ::unsetenv("DISPLAY");  // key state and typing must not reach a real display
  if (!::getenv("XDG_RUNTIME_DIR")) {
    static std::string dir =
        (std::filesystem::temp_directory_path() / ("runtime-" + std::to_string(::getuid()))).string();
    ::mkdir(dir.c_str(), 0700);
    ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
