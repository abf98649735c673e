#pragma once

#include <QRect>

class QWidget;

namespace kov {

inline constexpr int TwipsPerPixel = 15;  // at 96 dots per inch

int TwipsToPixels(int twips);

// Top-left corner of a window of `size` centred on `available`, the halves truncated. A window larger than the
// screen keeps its title bar on the screen, so it can still be moved and closed.
QPoint CenteredPosition(const QRect& available, const QSize& size);

// Where a window whose frame is `frame` moves so that it ends on the free area: left or up just far enough, never
// past the area's left or top edge (a window larger than the screen keeps its title bar there).
QPoint KeptOnScreen(const QRect& available, const QRect& frame);

// Where a window of widthTwips x heightTwips goes.
QRect CenteredGeometry(const QRect& available, int widthTwips, int heightTwips);

// Sizes the window, centres it on its screen's free area and shows it modeless, in front.
void CenterAndShowForm(QWidget* form, int widthTwips, int heightTwips);

// Closes every window of the program, each through its own close handling (the last opened first), then ends the
// event loop. A window that refuses (its exit question answered Cancel) stops it: the result is then false and the
// program runs on. Safe to call again from a close handler it set off.
bool EndProgram();

}  // namespace kov
