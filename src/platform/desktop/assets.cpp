#include "platform/desktop/assets.h"

#include <QFile>

static void InitResources() { Q_INIT_RESOURCE(assets); }

namespace tallow::desktop {

namespace {
QString Path(const std::string& name, const char* suffix) {
  return QStringLiteral(":/assets/") + QString::fromStdString(name) + QLatin1String(suffix) + QStringLiteral(".png");
}
}  // namespace

void InitAssets() { InitResources(); }

QPixmap AssetPixmap(const std::string& name) {
  if (name.empty()) return {};
  for (const char* suffix : {"", "-32", "-16"})
    if (QFile::exists(Path(name, suffix))) return QPixmap(Path(name, suffix));
  return {};
}

QIcon AssetIcon(const std::string& name) {
  QIcon icon;
  if (name.empty()) return icon;
  for (const char* suffix : {"-16", "-32", ""})
    if (QFile::exists(Path(name, suffix))) icon.addFile(Path(name, suffix));
  return icon;
}

}  // namespace tallow::desktop
