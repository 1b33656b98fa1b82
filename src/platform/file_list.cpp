#include "platform/file_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace tallow {

bool MatchesPattern(const std::string& name, const std::string& pattern) {
  // Iterative wildcard match with backtracking over the last "*".
  size_t n = 0, p = 0, star = std::string::npos, mark = 0;
  auto same = [](char a, char b) {
    return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
  };
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || (pattern[p] != '*' && same(pattern[p], name[n])))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// The file list's order: by name as text, letters without regard to case.
static bool FileNameLess(const std::string& a, const std::string& b) {
  auto lower = [](unsigned char c) { return std::tolower(c); };
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    int x = lower(static_cast<unsigned char>(a[i])), y = lower(static_cast<unsigned char>(b[i]));
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

std::vector<std::string> ListFiles(const std::string& folder, const std::string& pattern) {
  namespace fs = std::filesystem;
  std::vector<std::string> files;
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : fs::path(folder), ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;  // hidden
    // The windows keep a listed name in a one-line box, which holds no line break.
    if (name.find_first_of("\r\n") != std::string::npos) continue;
    std::error_code sec;
    if (!it->is_regular_file(sec) || sec) continue;  // folders, devices, broken links
    if (MatchesPattern(name, pattern)) files.push_back(std::move(name));
  }
  std::sort(files.begin(), files.end(), FileNameLess);
  return files;
}

}  // namespace tallow
