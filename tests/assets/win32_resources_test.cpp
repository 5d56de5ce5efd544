// Zephlora.scr itself carries the icon (id 1, which the window classes load) and every picture.
#include <gtest/gtest.h>

#include "assets/picture_decode.h"
#include "platform/picture_list.h"
#include "platform/win32/prelude.h"

namespace {

struct Module {
    HMODULE handle = LoadLibraryExA("Zephlora.scr", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ~Module() {
        if (handle) FreeLibrary(handle);
    }
};

TEST(ScreenSaverResources, CarriesTheIconAndEveryPicture) {
    Module scr;
    ASSERT_NE(scr.handle, nullptr) << "Zephlora.scr beside the test";
    EXPECT_NE(FindResourceA(scr.handle, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(14)), nullptr);  // RT_GROUP_ICON
    for (int size : {32, 16}) {
        HANDLE icon = LoadImageA(scr.handle, MAKEINTRESOURCEA(1), IMAGE_ICON, size, size, 0);
        ASSERT_NE(icon, nullptr) << size;
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(static_cast<HICON>(icon), &info));
        BITMAP bm{};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(static_cast<HICON>(icon));
    }
    for (int i = 0; i < plat::kPictureCount; ++i) {
        HRSRC found = FindResourceA(scr.handle, MAKEINTRESOURCEA(plat::kPictureResourceBase + i), MAKEINTRESOURCEA(10));
        ASSERT_NE(found, nullptr) << plat::picture_file_name(static_cast<plat::Picture>(i));
        const auto* bytes = static_cast<const unsigned char*>(LockResource(LoadResource(scr.handle, found)));
        EXPECT_TRUE(assets::decode_picture(bytes, SizeofResource(scr.handle, found)))
            << plat::picture_file_name(static_cast<plat::Picture>(i));
    }
}

}  // namespace
