#include "support/fixture.h"

#include <filesystem>

#include "shell/shift.h"

namespace tallow::testing {

namespace fs = std::filesystem;

static Services MakeServices(FakeMessageBoxes& b, FakeClipboard& c, FakeKeys& k, FakeKeyboard& kb, FakeTray& t,
                             FakeMail& m, VirtualClock& l, FakeEnvironment& e, FakeWindows& w, Dispatcher& d) {
  return Services{b, c, k, kb, t, m, m, l, e, w, d};
}

ProgramTest::ProgramTest()
    : app((env.folder = folder.path(), env.cwd = cwd.path(),
           MakeServices(boxes, clipboard, keys, keyboard, tray, mail, clock, env, windows, dispatch))) {
  oldCwd_ = fs::current_path().string();
  fs::current_path(cwd.path());
}

ProgramTest::~ProgramTest() {
  std::error_code ec;
  fs::current_path(oldCwd_, ec);
}

void ProgramTest::SetTexts() { shell::SetProgramTexts(app); }

}  // namespace tallow::testing
