#include "platform/desktop/assets.h"

#include <QFile>
#include <QImage>
#include <filesystem>

static void InitResources() { Q_INIT_RESOURCE(assets); }

namespace tallow::desktop {

namespace {
bool IsFile(const std::string& name) { return name.find('/') != std::string::npos; }

QString Path(const std::string& name, const char* suffix) {
  return QStringLiteral(":/assets/") + QString::fromStdString(name) + QLatin1String(suffix) + QStringLiteral(".png");
}
}  // namespace

void InitAssets() { InitResources(); }

QPixmap AssetPixmap(const std::string& name) {
  if (name.empty()) return {};
  if (IsFile(name)) return QPixmap(QString::fromStdString(name));
  for (const char* suffix : {"", "-32", "-16"})
    if (QFile::exists(Path(name, suffix))) return QPixmap(Path(name, suffix));
  return {};
}

QIcon AssetIcon(const std::string& name) {
  QIcon icon;
  if (name.empty()) return icon;
  if (IsFile(name)) return QIcon(QString::fromStdString(name));
  for (const char* suffix : {"-16", "-32", ""})
    if (QFile::exists(Path(name, suffix))) icon.addFile(Path(name, suffix));
  return icon;
}

std::string LoadPictureFile(const std::string& path) {
  std::error_code ec;
  const std::string full = std::filesystem::absolute(path, ec).string();
  if (ec || path.empty() || QImage(QString::fromStdString(full)).isNull()) return {};
  return full;
}

}  // namespace tallow::desktop
