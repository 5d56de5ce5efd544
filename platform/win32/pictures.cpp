// The pictures are RCDATA resources of the executable (the file bytes, resource id 100 + the
// picture's number; the resource script is written from assets/pictures.txt), decoded by the
// decoder the Linux build uses too (decode_picture_file, platform/shared/pictures.cpp).
#include "platform/pictures.h"

#include "platform/win32/prelude.h"

namespace plat {

std::unique_ptr<Bitmap> load_picture(Picture picture) {
    const int index = static_cast<int>(picture);
    if (index < 0 || index >= kPictureCount) return nullptr;
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(kPictureResourceBase + index),
                                MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (found == nullptr) return nullptr;
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr || size == 0) return nullptr;
    return decode_picture_file(static_cast<const unsigned char*>(LockResource(loaded)), size);
}

}  // namespace plat
