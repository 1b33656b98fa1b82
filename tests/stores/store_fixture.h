// A fresh program folder for the stores' readers and writers: files in, data
// out, no window.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/files.h"

namespace tallow::testing {

class StoreTest : public ::testing::Test {
 protected:
  std::string Folder() const { return folder.path(); }
  std::string InFolder(const std::string& name) const { return folder.path() + "/" + name; }
  // Writes the bytes as they are, no CR LF added.
  void Put(const std::string& name, const std::string& bytes) { WriteFile(InFolder(name), bytes); }
  std::string Get(const std::string& name) const { return ReadFile(InFolder(name)); }

  TempDir folder;
};

}  // namespace tallow::testing
