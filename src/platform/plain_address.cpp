#include "platform/plain_address.h"

#include <cctype>
#include <cstring>

namespace tallow {

bool IsPlainAddress(const std::string& address) {
  if (address.empty() || address.front() == '-' || address.front() == '@') return false;
  const size_t at = address.find('@');
  if (at != std::string::npos && (address.find('@', at + 1) != std::string::npos || at + 1 == address.size()))
    return false;
  for (size_t i = 0; i < address.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(address[i]);
    if (c <= 0x20 || c >= 0x7f || std::strchr("\"(),:;<>[\\]", c)) return false;
    if (at != std::string::npos && i > at && !std::isalnum(c) && c != '.' && c != '-') return false;
  }
  return true;
}

}  // namespace tallow
