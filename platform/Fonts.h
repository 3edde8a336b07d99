#pragma once

#include <QFont>

// The fonts the windows are designed in, with the CJK font that stands in for them here.
namespace Fonts {

// "宋体" (SimSun); WenQuanYi Micro Hei where it is not installed.
QFont songTi(int pixelSize);
// "Tahoma" for Latin text (DejaVu Sans where it is missing), the CJK font for Chinese.
QFont tahoma(int pixelSize);

} // namespace Fonts
