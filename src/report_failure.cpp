#include "report_failure.h"

#include "program.h"

namespace tallow {

void ReportFailure(Program& app, const std::string& what) {
  app.MsgBox(what, MsgButtons::OK, MsgIcon::Critical, app.AppTitle);
}

void ReportFailure(Program& app, const std::string& what, const std::string& why) {
  ReportFailure(app, what + ": " + why + ".");
}

}  // namespace tallow
