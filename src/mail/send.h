// The two mail-client roads: Outlook automation and Simple MAPI.
#pragma once

#include <optional>
#include <string>

#include "platform/controls.h"
#include "platform/services.h"

namespace tallow::mail {

// The recipient as both roads hand it over: the box's text without the white
// space around it (text::Trim: a copied address often brings a blank or a
// no-break space along, unseen). White space inside stays, and the mail
// system refuses such an address.
std::string Recipient(const std::string& box);

// Hands one message to Outlook through its automation interface. The objects
// held so far are released on every way out. Throws MailError when the mail
// system fails at any step, so that the caller can say the message did not go.
void SendMailByOutlook(MailAutomation& automation, const std::string& subject, const std::string& recipient,
                       const std::string& body);

// Which step of a Simple MAPI send failed ("resolving the recipient") and the
// mail system's reason.
struct ExpressFailure {
  std::string step;
  std::string reason;
};

// Sends the boxes' message through Simple MAPI with ExpressFooter under it. The
// boxes are read when their step comes: the event pump in the middle of the
// send may change them. On a failing step the session is signed off (a
// failing sign-off then ignored) and the failure returned; nullopt when the
// message went out.
std::optional<ExpressFailure> SendByExpress(SimpleMapi& mapi, EventLoop& loop, const TextBox& sendTo,
                                            const TextBox& subject, const TextBox& message,
                                            const std::string& appTitle);

}  // namespace tallow::mail
