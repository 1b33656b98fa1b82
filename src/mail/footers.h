// The footers the two mail roads put under a message.
#pragma once

#include <string>

namespace tallow::mail {

// The footer of an Outlook send, built once at start-up from the title and
// the site address: three CR LF, 23 hyphens, CR LF, the title, two bare line
// feeds, the site, CR LF, the slogan.
std::string BuildMailFooter(const std::string& appTitle, const std::string& siteURL);

// The footer of a Simple MAPI send: three line breaks, 23 hyphens, two line
// breaks, the title, two line breaks, three blanks: 40 characters plus the
// title.
std::string ExpressFooter(const std::string& appTitle);

}  // namespace tallow::mail
