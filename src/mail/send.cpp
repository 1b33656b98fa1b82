#include "mail/send.h"

#include "mail/footers.h"
#include "platform/text.h"

namespace tallow::mail {

std::string Recipient(const std::string& box) { return text::Trim(box); }

void SendMailByOutlook(MailAutomation& automation, const std::string& subject, const std::string& recipient,
                       const std::string& body) {
  // Declared in this order so that the item is released before the application.
  std::unique_ptr<MailApplication> outlook = automation.CreateObject("Outlook.application");
  std::unique_ptr<MailItem> item = outlook->CreateItem(0);
  item->SetSubject(subject);
  item->SetTo(Recipient(recipient));
  item->SetBody(body);
  item->Send();
}

namespace {

void SignOffQuietly(SimpleMapi& mapi) {
  try {
    mapi.SignOff();
  } catch (const MailError&) {
    // Nothing more can be done about a session that will not close.
  }
}

}  // namespace

std::optional<ExpressFailure> SendByExpress(SimpleMapi& mapi, EventLoop& loop, const TextBox& sendTo,
                                            const TextBox& subject, const TextBox& message,
                                            const std::string& appTitle) {
  const char* step = "signing on to the mail system";
  try {
    mapi.SignOn();
    step = "opening the mail session";
    mapi.SetDownLoadMail(false);
    loop.DoEvents();
    mapi.SetMessagesSessionID(mapi.SessionID());
    step = "starting a new message";
    mapi.Compose();
    step = "resolving the recipient";
    mapi.SetRecipAddress(Recipient(sendTo.Text()));
    mapi.ResolveName();
    step = "writing the message";
    mapi.SetMsgSubject(subject.Text());
    mapi.SetMsgNoteText(message.Text() + ExpressFooter(appTitle));
    step = "sending";
    mapi.Send(false);
  } catch (const MailError& e) {
    SignOffQuietly(mapi);
    return ExpressFailure{step, e.what()};
  }
  // The message has gone; a failing sign-off must not make the user send it twice.
  SignOffQuietly(mapi);
  return std::nullopt;
}

}  // namespace tallow::mail
