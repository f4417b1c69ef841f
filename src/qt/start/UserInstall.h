#pragma once
#include <QString>

namespace pagelet {

// The install a desktop start makes for its user: pagelet-setup from beside this program,
// into ${XDG_DATA_HOME:-~/.local/share}/Pagelet, unless an install is registered already.
// False with the reason when it could not be made.
bool makeUserInstall(QString& error);

} // namespace pagelet
