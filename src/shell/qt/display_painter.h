// Paints a main-window display list with QPainter: the background, the
// rounded panels, then each text in its rectangle (left-aligned, vertically
// centred, cut off at the rectangle's edges; a label too wide for its box
// is narrowed to fit) over the panel colour.
//
// The fonts are the display list's sans-serif face, sized so that a line's
// cell is at most 20 pixels high whichever face the system substitutes.
//
// GUI thread only (QFont, QPainter on a pixmap).
#pragma once

#include <QFont>

#include "shell/display_list.h"

class QPainter;

namespace tolvi {

QFont DisplayQFont(DisplayFont font);
void PaintDisplayList(QPainter& painter, const DisplayList& list);

}  // namespace tolvi
