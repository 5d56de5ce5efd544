// The dialog's look: the grey-blue gradient of its backdrop and the brushed-metal texture of
// its panels, drawn with the drawing layer into the windows' persistent images.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/draw.h"

namespace settings_dialog {

// The colour of backdrop row y of a backdrop `height` rows high: c = |sin(y / k)| x 220
// rounded (halves to even) with k = height / 3.142, as RGB(c, c, c + 30).
plat::ColorRef BackdropRowColour(int y, int height);

// Paints rows 0..height (height + 1 lines; the last falls outside the image) from x = 0 to
// x = width, each a line of its row's colour, over whatever the backdrop showed.
void PaintBackdrop(plat::Dc backdrop, int width, int height);

// The places where the tiling puts copies of a strip of strip_width x strip_height on a
// panel of panel_width x panel_height: column by column from (0, 0), a column ending only
// after a copy lies below the panel's bottom edge, the tiling only after a whole column lies
// beyond its right edge. Empty for a strip without area, which would never advance.
std::vector<plat::Point> TileOrigins(int panel_width, int panel_height, int strip_width, int strip_height);

// TilePanel: copies the whole strip (SRCCOPY) to each of those places; the panel's own
// clipping cuts what lies outside it.
void TilePanel(plat::Dc panel, int panel_width, int panel_height, plat::Dc strip, int strip_width,
               int strip_height);

}  // namespace settings_dialog
