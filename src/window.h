// The base of every window of the program: a model window that knows the
// program it belongs to, so that it can reach the other windows and texts.
#pragma once

#include <string>

#include "platform/controls.h"

namespace tallow {

class Program;

class Window : public Form {
 public:
  Window(Program& app, std::string name);
  Program& app;
  // The folder of the data files: the executable's folder.
  std::string ProgramFolder() const { return svc().env.ProgramFolder(); }
};

}  // namespace tallow
