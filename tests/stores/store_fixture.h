// A bare window over the program folder, whose controls the stores fill.
#pragma once

#include <string>
#include <vector>

#include "platform/form.h"
#include "stores/files.h"
#include "support/fixture.h"

namespace tallow::testing {

class StoreTest : public ProgramTest {
 protected:
  std::string Folder() const { return folder.path(); }
  // Writes the bytes as they are, no CR LF added.
  void Put(const std::string& name, const std::string& bytes) { WriteFile(InFolder(name), bytes); }
  std::string Get(const std::string& name) const { return ReadFile(InFolder(name)); }

  Form form{app, "StoreWindow"};
};

inline std::vector<std::string> Items(const ListBox& list) { return list.Items(); }

}  // namespace tallow::testing
