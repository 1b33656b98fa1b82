#include "report_failure.h"

#include "program.h"

namespace tallow {

void ReportFailure(Program& app, const std::string& what) {
  app.MsgBox(what, MsgButtons::OK, MsgIcon::Critical, app.AppTitle);
}

}  // namespace tallow
