#include "platform/desktop/mail.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>

#include "platform/desktop/end_signals.h"
#include "platform/plain_address.h"
#include "platform/text.h"

extern char** environ;

namespace tallow::desktop {

namespace {

// The longest body line or subject sent as it is: within the 998 characters a
// mail line may hold, with room to spare for mail systems that count differently.
constexpr size_t kLongestLine = 900;
// How much of what the mail system says is kept for the failure message:
// enough for any real reason, however much it says.
constexpr size_t kKeptSaying = 4096;

bool IsAsciiPrintable(const std::string& s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7f; });
}

std::string Base64(const std::string& bytes) {
  static const char* const kDigits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (i + 2 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 2]);
    out += kDigits[(n >> 18) & 63];
    out += kDigits[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kDigits[(n >> 6) & 63] : '=';
    out += i + 2 < bytes.size() ? kDigits[n & 63] : '=';
  }
  return out;
}

// Every line break or other control character becomes one blank, so the
// subject stays one header line whatever the user typed into it.
std::string HeaderLine(const std::string& text) {
  std::string out = tallow::text::ToLf(text);
  std::replace_if(
      out.begin(), out.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }, ' ');
  return out;
}

// RFC 2047 encoded words of at most 75 characters, split between UTF-8
// characters, folded onto continuation lines.
std::string EncodeWords(const std::string& text) {
  std::string out;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = std::min(text.size(), start + 45);
    if (end < text.size()) end = std::max(start + 1, tallow::text::CharacterStart(text, end));
    if (!out.empty()) out += "\n ";
    out += "=?UTF-8?B?" + Base64(text.substr(start, end - start)) + "?=";
    start = end;
  }
  return out;
}

std::string DateHeader(std::time_t when) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  std::tm local{};
  localtime_r(&when, &local);
  long offset = local.tm_gmtoff / 60;
  char sign = offset < 0 ? '-' : '+';
  offset = offset < 0 ? -offset : offset;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld", kDays[local.tm_wday], local.tm_mday,
                kMonths[local.tm_mon], local.tm_year + 1900, local.tm_hour, local.tm_min, local.tm_sec, sign,
                offset / 60, offset % 60);
  return buf;
}

// True when a line of the text is longer than mail systems take whole.
bool HasLongLine(const std::string& text) {
  size_t start = 0;
  for (size_t lf; (lf = text.find('\n', start)) != std::string::npos; start = lf + 1)
    if (lf - start > kLongestLine) return true;
  return text.size() - start > kLongestLine;
}

}  // namespace

std::string BuildMessage(const std::string& to, const std::string& subjectText, const std::string& bodyText,
                         std::time_t when) {
  // The message says UTF-8: text from anywhere (an older file, say) is made so.
  const std::string subject = tallow::text::ToUtf8(subjectText), body = tallow::text::ToUtf8(bodyText);
  std::string oneLine = HeaderLine(subject);
  std::string msg;
  msg += "Date: " + DateHeader(when) + "\n";
  msg += "To: " + to + "\n";
  // A plain subject holding "=?" would be read as encoded words by the receiver's mail program.
  const bool plain = IsAsciiPrintable(oneLine) && oneLine.size() <= kLongestLine &&
                     oneLine.find("=?") == std::string::npos;
  msg += "Subject: " + (plain ? oneLine : EncodeWords(oneLine)) + "\n";
  msg += "MIME-Version: 1.0\n";
  msg += "Content-Type: text/plain; charset=UTF-8\n";
  // The body with local line ends, ending in one; mail systems refuse a
  // message holding NUL.
  std::string text = tallow::text::ToLf(body);
  std::erase(text, '\0');
  if (text.empty() || text.back() != '\n') text += '\n';
  if (!HasLongLine(text)) return msg + "Content-Transfer-Encoding: 8bit\n\n" + text;
  // A mail line holds at most 998 characters, and mail systems refuse or cut
  // longer ones (dma refuses the whole message): such a body goes in base64,
  // encoded from its canonical CR LF form, in lines of 76.
  msg += "Content-Transfer-Encoding: base64\n\n";
  const std::string encoded = Base64(tallow::text::ToCrLf(text));
  for (size_t i = 0; i < encoded.size(); i += 76) msg += encoded.substr(i, 76) + "\n";
  return msg;
}

// ---- handing a message to the mail system ------------------------------------
namespace {

bool IsInstalled(const std::string& program) { return ::access(program.c_str(), X_OK) == 0; }

void RequireProgram(const std::string& program) {
  if (!IsInstalled(program)) throw MailError("The mail system is not installed (" + program + " was not found).");
}

void RequirePlainAddress(const std::string& to) {
  if (!IsPlainAddress(to)) throw MailError("\"" + HeaderLine(to) + "\" is not one e-mail address.");
}

// A mail system started for one message: its process, leading a group of its
// own, and our ends of the pipes to its input and from its output and errors,
// both non-blocking.
struct Started {
  pid_t pid;
  int toIt, fromIt;
};

// What became of the message.
struct Outcome {
  std::string stopped;  // why we stopped it, if we did
  int status = -1;      // its wait status
  // What it said: the first kKeptSaying bytes, and one character's more to
  // see where a cut there falls; the rest is read and dropped.
  std::string said;
};

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Stops the mail system with its helpers.
void Stop(pid_t pid, Outcome& outcome, std::string why) {
  ::kill(-pid, SIGKILL);
  ::kill(pid, SIGKILL);
  while (::waitpid(pid, &outcome.status, 0) < 0 && errno == EINTR) {
  }
  outcome.stopped = std::move(why);
}

Started Start(const std::string& program) {
  // A mail system that stops reading must give us an error, not a signal.
  static const bool ignored = [] { return ::signal(SIGPIPE, SIG_IGN) != SIG_ERR; }();
  (void)ignored;
  RequireProgram(program);
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) throw MailError("The mail system could not be started.");
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    throw MailError("The mail system could not be started.");
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, out[1], 2);
  // A process group of its own: one that hangs is stopped with its helpers.
  posix_spawnattr_t attrs;
  posix_spawnattr_init(&attrs);
  posix_spawnattr_setflags(&attrs, POSIX_SPAWN_SETPGROUP);
  posix_spawnattr_setpgroup(&attrs, 0);
  std::string arg0 = program, t = "-t", i = "-i";
  char* argv[] = {arg0.data(), t.data(), i.data(), nullptr};
  pid_t pid = -1;
  int rc = posix_spawn(&pid, program.c_str(), &actions, &attrs, argv, environ);
  posix_spawnattr_destroy(&attrs);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  if (rc != 0) {
    ::close(in[1]);
    ::close(out[0]);
    throw MailError("The mail system could not be started: " + std::string(std::strerror(rc)) + ".");
  }
  ::fcntl(in[1], F_SETFL, O_NONBLOCK);
  ::fcntl(out[0], F_SETFL, O_NONBLOCK);
  return {pid, in[1], out[0]};
}

// Reads what waits on the pipe; closes it at its end.
void Drain(int& fd, std::string& said) {
  char buf[4096];
  while (fd >= 0) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n > 0) {
      said.append(buf, std::min(kKeptSaying + 4 - said.size(), static_cast<size_t>(n)));
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      if (n == 0 || errno != EAGAIN) CloseFd(fd);
      break;
    }
  }
}

// Writes the message and reads what it says side by side, so that neither
// waits on a full pipe, until it ends: a helper that it leaves running with
// our pipe open does not hold us up, and one that has not ended when
// `patience` runs out is stopped with its group. The program's ending is not
// held up either: it runs as soon as it is asked for, and a message not yet
// handed over whole is stopped first, so that no part of it goes out.
Outcome Feed(Started it, const std::string& message, std::chrono::milliseconds patience) {
  const auto until = std::chrono::steady_clock::now() + patience;
  size_t done = 0;
  Outcome outcome;
  for (;;) {
    if (it.toIt >= 0 && done == message.size()) CloseFd(it.toIt);
    const bool ended = ::waitpid(it.pid, &outcome.status, WNOHANG) == it.pid;
    Drain(it.fromIt, outcome.said);
    if (ended) break;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      Stop(it.pid, outcome, "The mail system did not finish in time and was stopped.");
      break;
    }
    pollfd fds[3];
    nfds_t count = 0;
    if (it.toIt >= 0) fds[count++] = {it.toIt, POLLOUT, 0};
    if (it.fromIt >= 0) fds[count++] = {it.fromIt, POLLIN, 0};
    const nfds_t ending = count;
    if (EndSignals::PendingFd() >= 0) fds[count++] = {EndSignals::PendingFd(), POLLIN, 0};
    // In short steps: its end is seen by waitpid, not on a pipe.
    ::poll(fds, count, static_cast<int>(std::min<long>(left.count(), 10)));
    if (ending < count && fds[ending].revents) {
      if (it.toIt >= 0) Stop(it.pid, outcome, "The program was asked to end before the mail system took the message.");
      EndSignals::EndNow();
      if (!outcome.stopped.empty()) break;
      continue;
    }
    if (it.toIt >= 0 && fds[0].revents) {
      ssize_t n = ::write(it.toIt, message.data() + done, message.size() - done);
      if (n > 0)
        done += static_cast<size_t>(n);
      else if (n < 0 && errno != EAGAIN && errno != EINTR)
        CloseFd(it.toIt);  // it stopped reading: its exit status tells why
    }
  }
  CloseFd(it.toIt);
  CloseFd(it.fromIt);
  return outcome;
}

bool Accepted(const Outcome& outcome) {
  return outcome.stopped.empty() && WIFEXITED(outcome.status) && WEXITSTATUS(outcome.status) == 0;
}

// Why the message was not taken: in the mail system's own words when it
// gave any, cut at kKeptSaying bytes (and marked so), else in ours.
std::string Failure(const Outcome& outcome) {
  if (!outcome.stopped.empty()) return outcome.stopped;
  std::string said = outcome.said;
  const bool cut = said.size() > kKeptSaying;
  if (cut) said.resize(tallow::text::CharacterStart(said, kKeptSaying));
  while (!said.empty() && std::isspace(static_cast<unsigned char>(said.back()))) said.pop_back();
  if (cut) said += "\n(The mail system said more; the rest is left out.)";
  if (!said.empty()) return said;
  if (!WIFEXITED(outcome.status)) return "The mail system stopped before it took the message.";
  return "The mail system refused the message (exit status " + std::to_string(WEXITSTATUS(outcome.status)) + ").";
}

}  // namespace

void Sendmail(const std::string& program, const std::string& message, std::chrono::milliseconds patience) {
  const Outcome outcome = Feed(Start(program), message, patience);
  if (!Accepted(outcome)) throw MailError(Failure(outcome));
}

// ---- the automation road ----------------------------------------------------
namespace {

class SendmailItem : public MailItem {
 public:
  explicit SendmailItem(std::string program) : program_(std::move(program)) {}
  void SetSubject(const std::string& s) override { subject_ = s; }
  void SetTo(const std::string& s) override { to_ = s; }
  void SetBody(const std::string& s) override { body_ = s; }
  void Send() override {
    RequirePlainAddress(to_);
    Sendmail(program_, BuildMessage(to_, subject_, body_, std::time(nullptr)));
  }

 private:
  std::string program_, subject_, to_, body_;
};

class SendmailApplication : public MailApplication {
 public:
  explicit SendmailApplication(std::string program) : program_(std::move(program)) {}
  std::unique_ptr<MailItem> CreateItem(short itemType) override {
    if (itemType != 0) throw MailError("Only mail items can be created.");
    return std::make_unique<SendmailItem>(program_);
  }

 private:
  std::string program_;
};

bool SameText(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

bool SendmailMail::Installed() const { return IsInstalled(program_); }

std::unique_ptr<MailApplication> SendmailMail::CreateObject(const std::string& progId) {
  if (!SameText(progId, "Outlook.application")) throw MailError("There is no program called " + progId + ".");
  RequireProgram(program_);
  return std::make_unique<SendmailApplication>(program_);
}

// ---- the Simple MAPI road ----------------------------------------------------
void SendmailMail::SignOn() {
  RequireProgram(program_);
  session_ = ++lastSession_;
}

long SendmailMail::SessionID() { return session_; }

void SendmailMail::Compose() {
  recipient_.clear();
  subject_.clear();
  body_.clear();
}

void SendmailMail::ResolveName() { RequirePlainAddress(recipient_); }

void SendmailMail::Send(bool /*dialog*/) {
  if (session_ == 0 || messagesSession_ != session_) throw MailError("Not signed on to the mail system.");
  ResolveName();
  Sendmail(program_, BuildMessage(recipient_, subject_, body_, std::time(nullptr)));
}

}  // namespace tallow::desktop
