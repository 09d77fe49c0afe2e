#pragma once
// Geometry of the ellipsis edit box: where its text may run, where the mouse
// shows the text cursor, and how the box scales with its form.
#include "Framework/Scaling.h"
#include "Framework/Types.h"

// The ellipsis button's width; the button keeps it at every scale.
constexpr int EllipsisButtonWidth = 15;
// Right of this distance from the client area's right edge the mouse is over
// the button (and the spacer and edge beside it), not over the text.
constexpr int EllipsisCursorMargin = 17;

// The formatting rectangle for a client area of this size: all of it but the
// button's strip at the right. A client area narrower than the button leaves
// an empty rectangle, never an inverted one.
TRect EllipsisEditRect(int clientWidth, int clientHeight);

// True when a mouse at client x shows the text cursor (I-beam).
bool EllipsisIBeamAt(int x, int clientWidth);

// New bounds when the form scales by M/D: the edges are scaled, not the
// size, so that neighbouring controls stay flush.
TRect EllipsisScaledBounds(const TRect& bounds, int M, int D);

// Whether a scale step changes the font size: never with the parent's font;
// while the form is being loaded only when its scaling includes the font.
bool EllipsisScalesFont(bool parentFont, bool loading, bool scaleFontFlag);
