// The program's pictures: icons by resource id, drawn from our own SVG files.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace linkpanel {

// Icons 128 131 132 142 145 149 160 175; a null QIcon for any other id. Every size is
// rendered from the drawing itself, so the icon is sharp at 16 px and on HiDPI screens.
QIcon IconResource(int id);

// The same icon as a window's: offered in its small and large sizes only, 16 and 32 px, so
// that showing the window renders two sizes rather than seven.
QIcon WindowIconResource(int id);

// Bitmap 170, the logo, at its own fixed size in device-independent pixels, rendered for
// the primary screen's device pixel ratio. A null QPixmap for any other id.
QPixmap BitmapResource(int id);

// The logo's size in device-independent pixels.
inline constexpr int LOGO_WIDTH = 96;
inline constexpr int LOGO_HEIGHT = 40;

}  // namespace linkpanel
