#pragma once

namespace lumavine {

// A move in picture pixels: what shapes store and what a replayed move
// carries, so it lands in the same place at any zoom.
struct PictureDelta {
    int dx = 0;
    int dy = 0;

    friend bool operator==(const PictureDelta&, const PictureDelta&) = default;
};

// A move in screen pixels, as the pointer reports it. Only the view knows
// the zoom that turns it into a PictureDelta (View::toPicture).
struct ScreenDelta {
    int dx = 0;
    int dy = 0;

    friend bool operator==(const ScreenDelta&, const ScreenDelta&) = default;
};

}
