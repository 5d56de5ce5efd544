// The styled button's properties and stored form, as a host sees them.
#include <gtest/gtest.h>

#include "button_test_support.h"
#include "controls/layout.h"
#include "controls/styled_button/button_colours.h"

namespace {

using button_test::RecordingHost;
using controls::PropertyBag;
using controls::qzButtons_H;
using controls::styled_button::Rgb;

std::vector<std::string> keys_of(const PropertyBag& bag) {
    std::vector<std::string> keys;
    for (const auto& e : bag.entries()) keys.push_back(e.key);
    return keys;
}

controls::ButtonPicture a_bitmap(plat::GdiObject handle) {
    controls::ButtonPicture p;
    p.bitmap = handle;
    p.name = "pic";
    return p;
}

TEST(StyledButtonProperties, AccessKeySkipsDoubledAmpersandsAndKeepsTheOldKeyWithoutOne) {
    RecordingHost host;
    qzButtons_H button(host);
    button.SetCaption("Save && &exit");
    EXPECT_EQ(button.access_key(), 'E');
    button.SetCaption("Fish && Chips");  // only a pair: the key stays
    EXPECT_EQ(button.access_key(), 'E');
    button.SetCaption("&a&&b");
    EXPECT_EQ(button.access_key(), 'A');
}

TEST(StyledButtonProperties, CaptionAlignIsRefusedBesideATopOrBottomPicture) {
    RecordingHost host;
    host.design = true;
    qzButtons_H button(host);
    plat::GdiObject bmp = plat::create_compatible_bitmap(plat::Dc::None, 8, 8);
    button.SetPicture(a_bitmap(bmp));
    button.SetCaptionAlign(0);
    EXPECT_EQ(button.CaptionAlign(), 0);
    button.SetPictureAlign(5);  // forces the centre
    EXPECT_EQ(button.CaptionAlign(), 2);
    button.SetCaptionAlign(1);
    EXPECT_EQ(button.CaptionAlign(), 2);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0],
              "When button images are aligned top/bottom center, \r\nbutton captions can only be center aligned");
    host.design = false;
    button.SetPictureAlign(4);
    button.SetCaptionAlign(0);
    EXPECT_EQ(host.messages.size(), 1u);  // at run time the refusal is silent
    button.SetPicture(std::nullopt);
    button.SetCaptionAlign(0);  // no picture: allowed
    EXPECT_EQ(button.CaptionAlign(), 0);
    plat::delete_object(bmp);
}

TEST(StyledButtonProperties, OutOfRangeWritesChangeNothing) {
    RecordingHost host;
    qzButtons_H button(host);
    button.SetPictureSize(3);
    EXPECT_EQ(button.PictureSize(), 3);
    host.changes.clear();
    button.SetPictureSize(7);
    button.SetButtonStyle(8);
    button.SetButtonShape(-1);
    button.SetGradientMode(5);
    button.SetCaptionStyle(3);
    button.SetPictureAlign(6);
    EXPECT_EQ(button.PictureSize(), 3);
    EXPECT_EQ(button.ButtonStyle(), 0);
    EXPECT_EQ(button.ButtonShape(), 0);
    EXPECT_TRUE(host.changes.empty());
    PropertyBag bag;
    button.WriteProperties(bag);
    EXPECT_EQ(bag.read_int("ImgSize", 0), 40);  // stored in pixels
}

TEST(StyledButtonProperties, HoverLocksFollowAndLoosen) {
    RecordingHost host;
    qzButtons_H button(host);
    ASSERT_EQ(button.HoverColorLocks(), 0);
    button.SetBackColor(Rgb(10, 20, 30));
    EXPECT_EQ(button.HoverBackColor(), Rgb(10, 20, 30));
    button.SetForeColor(Rgb(1, 2, 3));
    EXPECT_EQ(button.HoverForeColor(), Rgb(1, 2, 3));
    button.SetHoverBackColor(Rgb(200, 0, 0));
    EXPECT_EQ(button.HoverColorLocks(), 1);  // the caption colour is still locked
    button.SetBackColor(Rgb(0, 0, 0));
    EXPECT_EQ(button.HoverBackColor(), Rgb(200, 0, 0));
    button.SetHoverForeColor(Rgb(9, 9, 9));
    EXPECT_EQ(button.HoverColorLocks(), 3);
    // Locking the back colour again with a gradient on: it follows the gradient colour.
    button.SetGradientMode(1);
    button.SetGradientColor(Rgb(0, 99, 0));
    button.SetHoverColorLocks(2);
    EXPECT_EQ(button.HoverBackColor(), Rgb(0, 99, 0));
    EXPECT_EQ(button.HoverForeColor(), Rgb(9, 9, 9));
}

TEST(StyledButtonProperties, ResetDefaultColorsActsOnlyAtDesignTime) {
    RecordingHost host;
    qzButtons_H button(host);
    button.SetBackColor(Rgb(1, 1, 1));
    button.SetResetDefaultColors(true);
    EXPECT_EQ(button.BackColor(), Rgb(1, 1, 1));
    host.design = true;
    host.changes.clear();
    button.SetResetDefaultColors(true);
    EXPECT_EQ(button.BackColor(), 0x8000000Fu);
    EXPECT_EQ(button.ForeColor(), 0x80000012u);
    EXPECT_EQ(button.GradientColor(), 0x8000000Fu);
    EXPECT_FALSE(button.ResetDefaultColors());
    EXPECT_EQ(host.changes, (std::vector<std::string>{"cGradient", "cBack"}));
}

TEST(StyledButtonStoredForm, LeavesOutDefaultsAndKeepsItsOrder) {
    RecordingHost host;
    qzButtons_H button(host);
    button.SetCaption("OK");
    button.SetCaptionAlign(0);
    button.SetForeColor(0x80000012);
    PropertyBag bag;
    button.WriteProperties(bag);
    EXPECT_EQ(keys_of(bag), (std::vector<std::string>{"Caption", "CapAlign", "Font", "cFHover", "cGradient", "cBack"}));
    EXPECT_EQ(bag.read_int("CapAlign", 2), 0);
    EXPECT_FALSE(bag.has("cFore"));

    qzButtons_H again(host);
    again.ReadProperties(bag);
    EXPECT_EQ(again.CaptionAlign(), 0);
    EXPECT_EQ(again.ForeColor(), 0x80000012u);
    EXPECT_EQ(again.Caption(), "OK");
    PropertyBag second;
    again.WriteProperties(second);
    EXPECT_EQ(second, bag);
}

TEST(StyledButtonStoredForm, ReadsTheDialogsOwnButtonDescription) {
    RecordingHost host;
    const controls::StoredFont font{"\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", 9.75, 128};
    // The dialog's own description of a button, as its layout holds it (CP932).
    const std::string text = std::string("Begin StyledButton qzButtons_H2\n"
                                         "   Left = 4800\n   Width = 1095\n   TabIndex = 7\n"
                                         "   Caption = \"&OK\"\n   CapAlign = 2\n   BackStyle = 2\n"
                                         "   cFore = &H00000000&\n   cFHover = &H00000000&\n"
                                         "   cGradient = &H00000000&\n   cBack = &H00FFFFFF&\n"
                                         "   Font = \"") + font.face_cp932 + ",9.75,128\"\n"
                                         "   ImgSize = 33\n   mPointer = 11\nEnd\n";
    const controls::LayoutResult layout = controls::ParseLayout(text);
    ASSERT_TRUE(layout.root) << layout.error.message;
    const PropertyBag& bag = layout.root->properties;
    qzButtons_H button(host);
    button.ReadProperties(bag);
    EXPECT_EQ(button.ButtonStyle(), 2);
    EXPECT_EQ(button.GradientColor(), 0u);
    EXPECT_EQ(button.BackColor(), 0xFFFFFFu);
    EXPECT_EQ(button.HoverBackColor(), 0xFFFFFFu);  // absent: the back colour just read
    EXPECT_EQ(button.HoverForeColor(), 0u);
    EXPECT_EQ(button.Font(), font);
    EXPECT_EQ(button.PictureSize(), 0);
    EXPECT_EQ(button.MousePointer(), 11);
    EXPECT_EQ(button.access_key(), 'O');
}

}  // namespace
