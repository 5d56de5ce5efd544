#include "dc_scene.h"

namespace dc_test {

const DrawApi kPlatform{
    "plat",
#define ZEPHLORA_DRAW_CALL(result, call, parameters, arguments) &plat::call,
#include "platform/draw_calls.h"
#undef ZEPHLORA_DRAW_CALL
};

const DrawApi kRaster{
    "raster",
#define ZEPHLORA_DRAW_CALL(result, call, parameters, arguments) &raster::call,
#include "platform/draw_calls.h"
#undef ZEPHLORA_DRAW_CALL
};

}  // namespace dc_test
