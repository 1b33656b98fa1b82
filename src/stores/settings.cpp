#include "stores/settings.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

#include "stores/files.h"

namespace tallow::stores {

constexpr int kMaxSettingsFields = 21;

std::vector<std::string> ParseSettings(const std::string& text) {
  std::vector<std::string> fields;
  size_t pos = 0;
  while (static_cast<int>(fields.size()) < kMaxSettingsFields) {
    const size_t colon = text.find(':', pos);
    if (colon == std::string::npos) break;
    fields.push_back(text.substr(pos, colon - pos));
    // The ":" and the one character after it go; a ":" at the very end
    // leaves nothing to go on with.
    if (colon + 2 > text.size()) break;
    pos = colon + 2;
  }
  return fields;
}

std::vector<std::string> ReadSettings(const std::string& folder) {
  std::string bytes;
  if (!ReadWholeFile(JoinPath(folder, kSettingsFile), bytes)) return {};
  return DecodeAll(ParseSettings(bytes), bytes);
}

std::string SettingsText(bool outlookExpress, bool outlook) {
  return std::string(outlookExpress ? "1:" : "0:") + CRLF + (outlook ? "1:" : "0:") + CRLF + "[END]";
}

bool WriteSettings(const std::string& folder, bool outlookExpress, bool outlook, std::string* why) {
  return WriteWholeText(JoinPath(folder, kSettingsFile), SettingsText(outlookExpress, outlook), why);
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool FlagChooses(const std::string& field) {
  size_t begin = 0, end = field.size();
  while (begin < end && IsBlank(field[begin])) ++begin;
  while (end > begin && IsBlank(field[end - 1])) --end;
  std::string_view number(field.data() + begin, end - begin);
  // Plain decimal only, read with "." whatever the user's locale says (a
  // locale with a decimal comma would read "1.5" as "1" and then stop).
  for (char c : number)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
      return false;
  if (number.size() > 1 && number[0] == '+' && number[1] != '+' && number[1] != '-') number.remove_prefix(1);
  double value = 0;
  const auto [stop, error] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (error != std::errc() || stop != number.data() + number.size()) return false;
  return std::floor(value) == 1.0;
}

}  // namespace tallow::stores
