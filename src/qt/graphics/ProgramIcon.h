#pragma once
#include <QImage>

namespace pagelet {

// The program icon (res/icon.png) as pixels compiled in: decoding a PNG at every start would
// load the PNG decoder before the window can show.
QImage programIconImage();

} // namespace pagelet
