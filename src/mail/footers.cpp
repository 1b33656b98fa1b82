#include "mail/footers.h"

namespace tallow::mail {

constexpr const char* kSlogan = "Energize Your Email Abilities-- Try It Free";

std::string BuildMailFooter(const std::string& appTitle, const std::string& siteURL) {
  return std::string("\r\n\r\n\r\n") + "-----------------------" + "\r\n" + appTitle + "\n\n" + siteURL + "\r\n" +
         kSlogan;
}

std::string ExpressFooter(const std::string& appTitle) {
  return std::string("\r\n\r\n\r\n") + "-----------------------" + "\r\n\r\n" + appTitle + "\r\n\r\n" + "   ";
}

}  // namespace tallow::mail
