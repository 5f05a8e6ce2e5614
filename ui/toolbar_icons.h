// The toolbar's icons, drawn in code: what the command works on (a person
// for customers, a parcel for stock, a truck for suppliers, ...) with a
// badge for what it does to it (find, add, change, delete, print). Disabled
// buttons get Qt's greyed form of the same picture.
#pragma once

#include <QIcon>

namespace kassio {

// The icon of a toolbar command; a null icon for other commands.
QIcon toolbarIcon(int command, int size);

}  // namespace kassio
