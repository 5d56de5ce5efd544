// Labelled scenes drawn twice in one program: once with the platform's drawing calls (real
// GDI under Win32 or Wine) and once with the software raster's device-context layer, which
// has the same calls in namespace raster. A scene is written once against DrawApi.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/draw.h"
#include "raster/gdi.h"

namespace dc_test {

using plat::Dc;
using plat::GdiObject;

// The drawing calls of one side: every call of platform/draw_calls.h. (The list names plat's
// types unqualified, so the table is declared where they are seen.)
namespace table {
using namespace plat;
struct DrawApi {
    const char* name;
#define ZEPHLORA_DRAW_CALL(result, call, parameters, arguments) result(*call) parameters;
#include "platform/draw_calls.h"
#undef ZEPHLORA_DRAW_CALL
};
}  // namespace table
using table::DrawApi;

extern const DrawApi kPlatform;  // platform/draw.h
extern const DrawApi kRaster;    // raster/gdi.h

}  // namespace dc_test
