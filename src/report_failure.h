// How every window tells the user that something it had to do failed: a
// read, a write, a delete, a send. Refusals of what the user asked for have
// their own texts and titles, and do not come here.
#pragma once

#include <string>

namespace tallow {

class Program;

// A critical message box titled AppTitle telling what could not be done.
void ReportFailure(Program& app, const std::string& what);
// The same, with the reason the system or the store gave: "what: why."
void ReportFailure(Program& app, const std::string& what, const std::string& why);

}  // namespace tallow
