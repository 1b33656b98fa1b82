// What the program takes for one e-mail address: the mail roads refuse any
// other recipient, and the add-contact window takes nothing else from the
// clipboard.
#pragma once

#include <string>

namespace tallow {

// One plain address: "user" or "user@domain", nothing around it. A recipient
// that is anything else (a list, a display name, a line break) is refused, so
// that no text of the user's ever starts a header of its own.
bool IsPlainAddress(const std::string& address);

}  // namespace tallow
