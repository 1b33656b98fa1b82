// Our own pictures, compiled into the program as Qt resources. An asset is
// named without size or extension ("banner", "flash1"); a name we do not
// have gives a null picture, which draws nothing. A picture loaded from a
// file is named by the file's absolute path.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

namespace tallow::desktop {

void InitAssets();
QPixmap AssetPixmap(const std::string& name);
// Every size we hold of it (16 and 32 pixels for the icons).
QIcon AssetIcon(const std::string& name);
// The name of the picture in a file, or "" when the file holds none.
std::string LoadPictureFile(const std::string& path);

}  // namespace tallow::desktop
