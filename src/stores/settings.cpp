#include "stores/settings.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

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

bool WriteSettings(const std::string& folder, bool outlookExpress, bool outlook) {
  return WriteWholeText(JoinPath(folder, kSettingsFile), SettingsText(outlookExpress, outlook));
}

static bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

bool FlagChooses(const std::string& field) {
  size_t begin = 0, end = field.size();
  while (begin < end && IsBlank(field[begin])) ++begin;
  while (end > begin && IsBlank(field[end - 1])) --end;
  const std::string number = field.substr(begin, end - begin);
  // Plain decimal only: strtod alone would also take "inf", "nan" and hex.
  for (char c : number)
    if (!(std::isdigit(static_cast<unsigned char>(c)) || c == '.' || c == '+' || c == '-' || c == 'e' || c == 'E'))
      return false;
  char* stop = nullptr;
  const double value = std::strtod(number.c_str(), &stop);
  if (stop != number.c_str() + number.size()) return false;
  return std::floor(value) == 1.0;
}

}  // namespace tallow::stores
