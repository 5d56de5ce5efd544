// Pens, lines and the ellipse's outline: the strokes of the device-context layer's line and
// shape calls (see raster/gdi.h).
#pragma once

#include <span>
#include <vector>

#include "raster/gdi_objects.h"

namespace raster::gdi {

// Draws the pen's lines through `points` (and back to the first one when `close`) in the
// context's pen, binary raster operation and background mode, within its clip.
void pen_lines(const DcObj& dc, std::span<const Point> points, bool close);

// The pixels of a wide pen's stroke: each segment a band as wide as the pen (a rectangle
// along the axes, a quadrilateral otherwise, its corners rounded away from the centre line),
// with round caps at the open ends and round joins where segments meet.
Region wide_pen_region(std::span<const Point> input, bool close, int width);

// The outline points of the arc of `box` between the rays through `start` and `end`
// (relative to the centre), counter-clockwise as Arc's default direction.
std::vector<Point> arc_points(const Rect& box, Point start, Point end);

}  // namespace raster::gdi
