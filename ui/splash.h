// The two-second splash shown while the station starts: our own artwork,
// 400 x 198, drawn in code.
#pragma once

#include <QPixmap>

namespace kassio {

QPixmap splashPicture();

}  // namespace kassio
