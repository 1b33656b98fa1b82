// Running part of a test as a user without privileges. CI runs the tests as
// root, who may write anywhere: a case about what permissions forbid runs its
// checks in a child process that has dropped to nobody.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace tallow::testing {

// Runs `checks` in a child process as nobody (its group nogroup, no other
// groups) when the test runs as root, as the caller's user otherwise, and
// waits for it. A TempDir made inside `checks` is nobody's own; what the test
// made before as root is out of nobody's reach unless given to nobody (chown).
// GoogleTest assertions inside `checks` are printed as usual, and the test
// fails when any of them failed or the child did not finish. Call it while
// the test runs no other thread.
//   AsNobody([] { TempDir own; ... EXPECT_FALSE(WriteWholeText(...)); });
void AsNobody(const std::function<void()>& checks);

// Gives the file or folder at `path` to nobody when the test runs as root, so
// that checks run by AsNobody reach what the test made before; nothing to do
// for anyone else, who owns it already.
void GiveToNobody(const std::string& path);

}  // namespace tallow::testing
