#include "support/fixture.h"

#include "shell/shift.h"

namespace tallow::testing {

void ProgramTest::SetTexts() { shell::SetProgramTexts(app); }

}  // namespace tallow::testing
