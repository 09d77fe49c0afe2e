#pragma once
// Where a top-level window may stand: on a monitor that exists now, at a size
// the user can work with. A place stored on a monitor that has since gone (a
// laptop taken off its dock) or a size from a hand-edited file must not leave
// the window out of reach. No window is needed here, so the rule is tested on
// its own.
#include <vector>

#include "Framework/Types.h"

// A window's place as the settings file stores it: left, top, width, height.
struct TWindowBounds {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const TWindowBounds& o) const {
        return Left == o.Left && Top == o.Top && Width == o.Width && Height == o.Height;
    }
};

// The place the window takes given the monitors' work areas (the primary one
// first). A size below minWidth × minHeight is raised to it. When the
// window's caption bar (its top captionHeight pixels) does not lie wholly on
// the work areas, the window goes onto the nearest one (the one it overlaps
// most, else the closest), shrunk to fit it where it is larger, moved as
// little as that takes. No work area at all leaves the place alone.
TWindowBounds PlaceOnWorkAreas(const TWindowBounds& window, const std::vector<TRect>& workAreas, int minWidth,
                               int minHeight, int captionHeight);
