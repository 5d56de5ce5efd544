#include "controls/styled_button/button_colours.h"

#include <algorithm>
#include <cmath>

namespace controls::styled_button {

int round_even(double value) { return static_cast<int>(std::nearbyint(value)); }

namespace {

struct Channels {
    int r, g, b;
};

// Steps 1-3 of shade with no amount: the channels as the rule reads them.
Channels channels_of(ColorRef c) {
    return {static_cast<int>(c & 255), round_even((c & 0xFF00) / 255.0), round_even((c & 0xFF0000) / 65280.0)};
}

int clamp255(int v) { return std::clamp(v, 0, 255); }

ColorRef shade_once(ColorRef c, int a, unsigned options) {
    int r = static_cast<int>(c & 255) + a;
    int g = round_even((c & 0xFF00) / 255.0 + a);
    int b;
    if (options & kBlueMode) {
        const int b0 = round_even((c & 0xFF0000) / 65280.0);
        b = b0 + a * b0 / 192;  // C++ division truncates towards zero
    } else {
        b = round_even((c & 0xFF0000) / 65280.0 + a);
    }
    r = clamp255(r);
    g = clamp255(g);
    b = clamp255(b);
    if (options & kInvert) {
        r = 255 - r;
        g = 255 - g;
        b = 255 - b;
    }
    return Rgb(r, g, b);
}

}  // namespace

ColorRef shade(ColorRef c, int amount, unsigned options) {
    const ColorRef first = shade_once(c, amount, options);
    if (!(options & kRetry) || (first != 0 && first != 0xFFFFFF)) return first;
    return shade_once(c, amount == 0 ? 64 : -amount, options);
}

std::vector<ColorRef> ramp(ColorRef c1, ColorRef c2, int count) {
    std::vector<ColorRef> out;
    if (count <= 0) return out;
    const Channels a = channels_of(c1), b = channels_of(c2);
    const int steps = std::max(1, count - 1);
    const int dr = round_even(static_cast<double>(b.r - a.r) / steps);
    const int dg = round_even(static_cast<double>(b.g - a.g) / steps);
    const int db = round_even(static_cast<double>(b.b - a.b) / steps);
    out.push_back(c1);
    Channels at = a;
    for (int i = 1; i < count; ++i) {
        at = {clamp255(at.r + dr), clamp255(at.g + dg), clamp255(at.b + db)};
        out.push_back(Rgb(at.r, at.g, at.b));
    }
    return out;
}

FaceColours derive_faces(int style, ColorRef back, ColorRef hover_back) {
    FaceColours f{back, back, hover_back};
    switch (style) {
    case 7:
        f.face = shade(f.face, 31);
        f.face2 = shade(f.face2, -32);
        f.hover = shade(f.hover, 31);
        break;
    case 2:
        f.face = shade(f.face, 48, kBlueMode);
        f.hover = shade(f.hover, 48, kBlueMode);
        f.face2 = shade(f.face, -32, kBlueMode);
        break;
    case 3:
        f.face2 = shade(Rgb(128, 128, 128), 12);
        break;
    default:
        break;
    }
    return f;
}

}  // namespace controls::styled_button
