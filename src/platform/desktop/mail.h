// Both mail-client roads over the local mail system: each hands one message
// to the sendmail interface that every Linux mail transfer agent provides.
#pragma once

#include <chrono>
#include <ctime>
#include <memory>
#include <string>

#include "platform/services.h"

namespace tallow::desktop {

// The message as sendmail -t reads it: Date, To, Subject (encoded when it is
// not plain ASCII, always one logical line), MIME headers, a blank line and
// the body with local (LF) line ends and no NUL characters, or in base64 when
// a line of it is longer than mail systems take. Subject and body that are not
// valid UTF-8 are read as Windows-1252 (text::ToUtf8), so the message is UTF-8,
// as it says. `when` is the Date.
std::string BuildMessage(const std::string& to, const std::string& subject, const std::string& body, std::time_t when);

// How long the mail system may take over one message before it is stopped:
// the program waits for it, so it must not wait for ever.
inline constexpr std::chrono::milliseconds kSendmailPatience{60000};

// Hands the message to `sendmail -t -i`; throws MailError with the mail
// system's own words (the first few KiB of them, marked when cut) when it
// cannot be run, does not accept the message, or has not finished within
// `patience`. A signal to end the program (EndSignals) ends it meanwhile.
void Sendmail(const std::string& program, const std::string& message,
              std::chrono::milliseconds patience = kSendmailPatience);

inline constexpr const char* kSendmail = "/usr/sbin/sendmail";

// The automation road ("Outlook.application") and the Simple MAPI road.
class SendmailMail : public MailAutomation, public SimpleMapi {
 public:
  explicit SendmailMail(std::string program = kSendmail) : program_(std::move(program)) {}
  const std::string& Program() const { return program_; }
  bool Installed() const;

  std::unique_ptr<MailApplication> CreateObject(const std::string& progId) override;

  void SignOn() override;
  void SetDownLoadMail(bool) override {}
  long SessionID() override;
  void SetMessagesSessionID(long id) override { messagesSession_ = id; }
  void Compose() override;
  void SetRecipAddress(const std::string& address) override { recipient_ = address; }
  void ResolveName() override;
  void SetMsgSubject(const std::string& subject) override { subject_ = subject; }
  void SetMsgNoteText(const std::string& text) override { body_ = text; }
  void Send(bool dialog) override;
  void SignOff() override { session_ = 0; }

 private:
  std::string program_;
  long session_ = 0;
  long lastSession_ = 0;
  long messagesSession_ = 0;
  std::string recipient_, subject_, body_;
};

}  // namespace tallow::desktop
