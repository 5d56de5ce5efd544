// Bitmaps are top-down 32-bit DIB sections, each selected into its own memory device
// context, so that the software raster draws into their bits and GDI can copy them to a
// window in one call.
#include <algorithm>
#include <vector>

#include "platform/draw.h"
#include "platform/win32/draw_win32.h"
#include "raster/blit.h"

namespace plat {
namespace win32 {

DibBitmap::DibBitmap(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    dib_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    if (dib_) old_ = SelectObject(dc_, dib_);
}

DibBitmap::~DibBitmap() {
    if (dc_) {
        if (old_) SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    if (dib_) DeleteObject(dib_);
}

Surface DibBitmap::surface() const {
    if (!bits_) return Surface{};
    return Surface{bits_, width_, height_, width_};
}

}  // namespace win32

std::unique_ptr<Bitmap> create_bitmap(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    auto bitmap = std::make_unique<win32::DibBitmap>(width, height);
    if (!bitmap->valid()) return nullptr;
    return bitmap;
}

void bit_blt(Bitmap& dst, int x, int y, int width, int height, const Bitmap& src, int src_x,
             int src_y, Rop rop) {
    GdiFlush();  // the raster writes the bits directly
    raster::bit_blt(dst.surface(), x, y, width, height, src.surface(), src_x, src_y, rop);
}

void fill_rect(Bitmap& dst, int x, int y, int width, int height, std::uint32_t colorref) {
    GdiFlush();
    raster::fill_rect(dst.surface(), x, y, width, height, colorref);
}

}  // namespace plat

// ---- The device-context calls: the real GDI call for each ---------------------------------

namespace plat {
namespace {

HDC hdc(Dc dc) { return reinterpret_cast<HDC>(static_cast<std::uintptr_t>(dc)); }
Dc from_hdc(HDC dc) { return static_cast<Dc>(reinterpret_cast<std::uintptr_t>(dc)); }
HGDIOBJ hobj(GdiObject o) { return reinterpret_cast<HGDIOBJ>(static_cast<std::uintptr_t>(o)); }
GdiObject from_hobj(HGDIOBJ o) { return static_cast<GdiObject>(reinterpret_cast<std::uintptr_t>(o)); }
HRGN hrgn(GdiObject o) { return static_cast<HRGN>(hobj(o)); }
HBITMAP hbitmap(GdiObject o) { return static_cast<HBITMAP>(hobj(o)); }
HICON hicon(Icon i) { return reinterpret_cast<HICON>(static_cast<std::uintptr_t>(i)); }
Icon from_hicon(HICON i) { return static_cast<Icon>(reinterpret_cast<std::uintptr_t>(i)); }
DWORD rop_of(Rop rop) { return static_cast<DWORD>(rop); }

}  // namespace

ColorRef sys_color(int index) { return GetSysColor(index); }
ColorRef resolve_color(ColorRef color) { return (color & 0x80000000u) ? GetSysColor(static_cast<int>(color & 0xFF)) : color; }

Dc create_compatible_dc(Dc dc) { return from_hdc(CreateCompatibleDC(hdc(dc))); }
bool delete_dc(Dc dc) { return DeleteDC(hdc(dc)) != 0; }
Dc bitmap_dc(const Bitmap& bitmap) { return from_hdc(static_cast<const win32::DibBitmap&>(bitmap).dc()); }

GdiObject create_compatible_bitmap(Dc dc, int width, int height) {
    if (dc == Dc::None) {
        HDC screen = GetDC(nullptr);
        HBITMAP b = CreateCompatibleBitmap(screen, width, height);
        ReleaseDC(nullptr, screen);
        return from_hobj(b);
    }
    return from_hobj(CreateCompatibleBitmap(hdc(dc), width, height));
}
GdiObject create_mono_bitmap(int width, int height, const std::uint8_t* bits) {
    return from_hobj(CreateBitmap(width, height, 1, 1, bits));
}
GdiObject create_pen(PenStyle style, int width, ColorRef color) {
    return from_hobj(CreatePen(static_cast<int>(style), width, color));
}
GdiObject create_solid_brush(ColorRef color) { return from_hobj(CreateSolidBrush(color)); }
GdiObject create_pattern_brush(GdiObject bitmap) { return from_hobj(CreatePatternBrush(hbitmap(bitmap))); }
GdiObject create_font(const FontDesc& desc) {
    LOGFONTA lf{};
    lf.lfHeight = desc.height;
    lf.lfWeight = desc.weight;
    lf.lfItalic = desc.italic;
    lf.lfUnderline = desc.underline;
    lf.lfStrikeOut = desc.strike_out;
    lf.lfCharSet = desc.charset;
    const std::size_t n = std::min<std::size_t>(desc.face.size(), LF_FACESIZE - 1);
    std::copy_n(desc.face.data(), n, lf.lfFaceName);
    return from_hobj(CreateFontIndirectA(&lf));
}
GdiObject stock_object(StockObject which) { return from_hobj(GetStockObject(static_cast<int>(which))); }
GdiObject select_object(Dc dc, GdiObject object) { return from_hobj(SelectObject(hdc(dc), hobj(object))); }
bool delete_object(GdiObject object) { return DeleteObject(hobj(object)) != 0; }
GdiObject current_bitmap(Dc dc) { return from_hobj(GetCurrentObject(hdc(dc), OBJ_BITMAP)); }

bool get_bitmap_info(GdiObject bitmap, BitmapInfo& info) {
    BITMAP b{};
    if (GetObjectA(hobj(bitmap), sizeof b, &b) != sizeof b) return false;
    info = BitmapInfo{b.bmWidth, b.bmHeight, b.bmBitsPixel * b.bmPlanes};
    return true;
}

ColorRef set_text_color(Dc dc, ColorRef color) { return SetTextColor(hdc(dc), color); }
ColorRef get_text_color(Dc dc) { return GetTextColor(hdc(dc)); }
ColorRef set_bk_color(Dc dc, ColorRef color) { return SetBkColor(hdc(dc), color); }
ColorRef get_bk_color(Dc dc) { return GetBkColor(hdc(dc)); }
BkMode set_bk_mode(Dc dc, BkMode mode) { return static_cast<BkMode>(SetBkMode(hdc(dc), static_cast<int>(mode))); }
Palette select_palette(Dc dc, Palette palette, bool force_background) {
    return static_cast<Palette>(reinterpret_cast<std::uintptr_t>(
        SelectPalette(hdc(dc), reinterpret_cast<HPALETTE>(palette), force_background ? TRUE : FALSE)));
}
unsigned realize_palette(Dc dc) { return RealizePalette(hdc(dc)); }
int get_map_mode(Dc dc) { return GetMapMode(hdc(dc)); }

ColorRef set_pixel(Dc dc, int x, int y, ColorRef color) { return SetPixel(hdc(dc), x, y, color); }
bool set_pixel_v(Dc dc, int x, int y, ColorRef color) { return SetPixelV(hdc(dc), x, y, color) != 0; }
ColorRef get_pixel(Dc dc, int x, int y) { return GetPixel(hdc(dc), x, y); }

bool pat_blt(Dc dc, int x, int y, int width, int height, Rop rop) {
    return PatBlt(hdc(dc), x, y, width, height, rop_of(rop)) != 0;
}
bool bit_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, Rop rop) {
    return BitBlt(hdc(dst), x, y, width, height, hdc(src), src_x, src_y, rop_of(rop)) != 0;
}
bool stretch_blt(Dc dst, int x, int y, int width, int height, Dc src, int src_x, int src_y, int src_width,
                 int src_height, Rop rop) {
    return StretchBlt(hdc(dst), x, y, width, height, hdc(src), src_x, src_y, src_width, src_height, rop_of(rop)) != 0;
}

bool move_to(Dc dc, int x, int y) { return MoveToEx(hdc(dc), x, y, nullptr) != 0; }
bool line_to(Dc dc, int x, int y) { return LineTo(hdc(dc), x, y) != 0; }
bool polyline(Dc dc, std::span<const Point> points) {
    std::vector<POINT> pts;
    for (const Point& p : points) pts.push_back(POINT{p.x, p.y});
    return Polyline(hdc(dc), pts.data(), static_cast<int>(pts.size())) != 0;
}
bool draw_rectangle(Dc dc, int left, int top, int right, int bottom) { return Rectangle(hdc(dc), left, top, right, bottom) != 0; }
bool draw_ellipse(Dc dc, int left, int top, int right, int bottom) { return Ellipse(hdc(dc), left, top, right, bottom) != 0; }
bool draw_arc(Dc dc, int left, int top, int right, int bottom, int start_x, int start_y, int end_x, int end_y) {
    return Arc(hdc(dc), left, top, right, bottom, start_x, start_y, end_x, end_y) != 0;
}
bool draw_focus_rect(Dc dc, const Rect& rect) {
    const RECT r = win32::to_rect(rect);
    return DrawFocusRect(hdc(dc), &r) != 0;
}
bool fill_region(Dc dc, GdiObject region, GdiObject brush) {
    return FillRgn(hdc(dc), hrgn(region), static_cast<HBRUSH>(hobj(brush))) != 0;
}
int draw_text(Dc dc, std::string_view text, Rect& rect, std::uint32_t format) {
    RECT r = win32::to_rect(rect);
    const std::string z = win32::z(text);
    const int height = DrawTextA(hdc(dc), z.c_str(), -1, &r, format);
    rect = win32::from_rect(r);
    return height;
}

GdiObject create_rect_rgn(int left, int top, int right, int bottom) { return from_hobj(CreateRectRgn(left, top, right, bottom)); }
GdiObject create_polygon_rgn(std::span<const Point> points, FillMode mode) {
    std::vector<POINT> pts;
    for (const Point& p : points) pts.push_back(POINT{p.x, p.y});
    return from_hobj(CreatePolygonRgn(pts.data(), static_cast<int>(pts.size()), static_cast<int>(mode)));
}
GdiObject create_elliptic_rgn(int left, int top, int right, int bottom) {
    return from_hobj(CreateEllipticRgn(left, top, right, bottom));
}
RegionKind combine_rgn(GdiObject dst, GdiObject a, GdiObject b, RegionOp op) {
    return static_cast<RegionKind>(CombineRgn(hrgn(dst), hrgn(a), hrgn(b), static_cast<int>(op)));
}
RegionKind offset_rgn(GdiObject region, int dx, int dy) { return static_cast<RegionKind>(OffsetRgn(hrgn(region), dx, dy)); }
RegionKind select_clip_rgn(Dc dc, GdiObject region) { return static_cast<RegionKind>(SelectClipRgn(hdc(dc), hrgn(region))); }
std::vector<Rect> region_rects(GdiObject region) {
    std::vector<Rect> out;
    const DWORD size = GetRegionData(hrgn(region), 0, nullptr);
    if (size == 0) return out;
    std::vector<unsigned char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (GetRegionData(hrgn(region), size, data) == 0) return out;
    const auto* rects = reinterpret_cast<const RECT*>(data->Buffer);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) out.push_back(win32::from_rect(rects[i]));
    return out;
}

Icon create_icon(GdiObject color, GdiObject mask) {
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = hbitmap(color);
    info.hbmMask = hbitmap(mask);
    return from_hicon(CreateIconIndirect(&info));
}
bool destroy_icon(Icon icon) { return DestroyIcon(hicon(icon)) != 0; }
bool get_icon_info(Icon icon, GdiObject& color, GdiObject& mask) {
    ICONINFO info{};
    if (!GetIconInfo(hicon(icon), &info)) return false;
    color = from_hobj(info.hbmColor);
    mask = from_hobj(info.hbmMask);
    return true;
}
bool draw_icon(Dc dc, int x, int y, Icon icon, int width, int height) {
    return DrawIconEx(hdc(dc), x, y, hicon(icon), width, height, 0, nullptr, DI_NORMAL) != 0;
}
GdiObject copy_bitmap_scaled(GdiObject bitmap, int width, int height) {
    return from_hobj(CopyImage(hobj(bitmap), IMAGE_BITMAP, width, height, 0));
}
Icon copy_icon_scaled(Icon icon, int width, int height) {
    return from_hicon(static_cast<HICON>(CopyImage(hicon(icon), IMAGE_ICON, width, height, 0)));
}

}  // namespace plat
