#pragma once
// The rectangle of the portable layout code: cells, text areas and window
// bounds are decided with it, without a Windows header; Graphics.h converts
// it to and from the system's RECT.

// Left and Top are inside, Right and Bottom just outside, as in RECT.
struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    // Covers no pixel; an inverted rectangle counts as empty too.
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool operator==(const TRect& o) const {
        return Left == o.Left && Top == o.Top && Right == o.Right && Bottom == o.Bottom;
    }
    bool operator!=(const TRect& o) const { return !(*this == o); }
};
