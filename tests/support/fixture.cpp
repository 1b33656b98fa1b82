#include "support/fixture.h"

#include "shell/shift.h"

namespace tallow::testing {

static Services MakeServices(FakeMessageBoxes& b, FakeClipboard& c, FakeKeys& k, FakeKeyboard& kb, FakeTray& t,
                             FakeMail& m, VirtualClock& l, FakeEnvironment& e, FakeWindows& w, Dispatcher& d) {
  return Services{b, c, k, kb, t, m, m, l, e, w, d};
}

ProgramTest::ProgramTest()
    : app((env.folder = folder.path(), env.cwd = cwd.path(),
           MakeServices(boxes, clipboard, keys, keyboard, tray, mail, clock, env, windows, dispatch))) {}

void ProgramTest::SetTexts() { shell::SetProgramTexts(app); }

}  // namespace tallow::testing
