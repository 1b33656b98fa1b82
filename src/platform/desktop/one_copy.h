// One copy of the program per user and X display, and one per program folder.
// Two copies on one folder each rewrite the data files from what they read
// before the other wrote, and one's start-up clean-up deletes the other's
// half-done saves; two on one display both type on F9 and bind the same
// spare key codes.
//
// Each lock is an flock on a file of the user's own, taken without waiting.
// The system drops it when the process ends, however it ends, so a killed
// copy never blocks the next start; it is never handed to a child process.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tallow::desktop {

class OneCopy {
 public:
  // Takes the X display's lock when `display` names one (a file in
  // `runtimeFolder`, which must be the user's private runtime folder), then
  // the program folder's (a hidden file in it, which no file list shows and
  // no clean-up touches).
  OneCopy(const std::string& programFolder, const std::string& display, const std::string& runtimeFolder);
  ~OneCopy();
  OneCopy(const OneCopy&) = delete;
  OneCopy& operator=(const OneCopy&) = delete;

  // Why this copy must not run, as the user is told: another copy holds one
  // of the locks. "" when none does.
  const std::string& Refusal() const { return refusal_; }
  // Each lock that could not be taken for another reason, with what is then
  // not guarded. The program goes on without it.
  const std::vector<std::string>& Lacks() const { return lacks_; }

 private:
  // The lock's descriptor; -1 when another copy holds it (refusal_ says so)
  // or it could not be had (lacks_ says why).
  int Lock(int folder, const std::string& folderPath, const std::string& name, const std::string& refusal,
           const std::string& unguarded);
  int folderLock_ = -1;
  int displayLock_ = -1;
  std::string refusal_;
  std::vector<std::string> lacks_;
};

// The locks of this process: its program folder, $DISPLAY and
// $XDG_RUNTIME_DIR. When another copy holds one, says so on standard error
// and, on a display a user sees, in a message box titled `title`, and
// returns nullptr: the caller ends without touching a file. A lock that
// cannot be had for another reason is said on standard error. Needs the
// QApplication.
std::unique_ptr<OneCopy> TakeOneCopy(const std::string& title);

}  // namespace tallow::desktop
