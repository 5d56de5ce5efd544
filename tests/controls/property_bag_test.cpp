// The stored form of the controls: defaults for absent or unreadable values, the write rule
// that leaves out defaults, and the layout description that holds a dialog's bags.
#include <gtest/gtest.h>

#include "controls/layout.h"
#include "controls/property_bag.h"

namespace controls {
namespace {

TEST(PropertyBag, ReadsDefaultsForAbsentAndUnreadableValues) {
    PropertyBag bag({{"Value", "200"}, {"Max", "lots"}, {"ForeColor", "&H0000C8C8&"}, {"Snap", "True"},
                     {"Enabled", "0"}, {"Min", "&HFFFFFF9C&"}, {"Big", "2147483648"}});
    EXPECT_EQ(bag.read_int("Value", 50), 200);
    EXPECT_EQ(bag.read_int("value", 50), 200) << "keys are found whatever their case";
    EXPECT_EQ(bag.read_int("Max", 100), 100);
    EXPECT_EQ(bag.read_int("Absent", 7), 7);
    EXPECT_EQ(bag.read_int("Big", 7), 7) << "a number beyond 32 bits is not read as a wrapped one";
    EXPECT_EQ(bag.read_int("Min", 0), -100) << "hexadecimal is a 32-bit pattern";
    EXPECT_EQ(bag.read_colour("ForeColor", 0), 0x0000C8C8u);
    EXPECT_TRUE(bag.read_bool("Snap", false));
    EXPECT_FALSE(bag.read_bool("Enabled", true));
    EXPECT_EQ(bag.read_text("Caption", "none"), "none");
}

TEST(PropertyBag, WritingLeavesOutDefaultsAndKeepsTheOrderOfFirstWrites) {
    PropertyBag bag;
    bag.write_int("Value", 50, 50);
    bag.write_int("Max", 300, 100);
    bag.write_colour("BackColor", 0x8000000Fu, 0x8000000Fu);
    bag.write_colour("ForeColor", 0x00C8C8u);
    bag.write_bool("Snap", true, false);
    bag.write_text("Caption", "Save", std::string_view{});
    bag.write_int("Max", 100, 100);  // back to its default: the key goes
    ASSERT_EQ(bag.entries().size(), 3u);
    EXPECT_EQ(bag.entries()[0].key, "ForeColor");
    EXPECT_EQ(bag.entries()[0].value, "&H0000C8C8&");
    EXPECT_EQ(bag.entries()[1].key, "Snap");
    EXPECT_EQ(bag.entries()[2].value, "Save");
}

TEST(PropertyBag, FontsRoundTripThroughTheirText) {
    StoredFont font{"\x82\x6c\x82\x72 \x82\x6f\x83\x53\x83\x56\x83\x62\x83\x4e", 9.75, 128, false, false, true};
    PropertyBag bag;
    bag.write_font("Font", font);
    EXPECT_EQ(bag.read_font("Font"), font);
    EXPECT_FALSE(ParseStoredFont("Arial"));
    EXPECT_FALSE(ParseStoredFont("Arial,0"));
    EXPECT_FALSE(ParseStoredFont("Arial,9,heavy"));
    EXPECT_EQ(ParseStoredFont("Times New Roman,9")->points, 9.0);
}

TEST(Layout, ReadsNestedBlocksWithIndexesAndQuotedText) {
    const auto result = ParseLayout(
        "# the dialog\n"
        "Begin Form Dlg\r\n"
        "  Caption = \"Say \"\"hi\"\" \"\n"
        "  Begin PictureBox Pic_D(2)\n"
        "    Left = 240\n"
        "    Begin Slider HSx\n"
        "      Max = 10\n"
        "    End\n"
        "  End\n"
        "  Begin Label lbl(4)\n"
        "    Caption = plain text to the end\n"
        "  End\n"
        "End\n");
    ASSERT_TRUE(result.root) << result.error.line << ": " << result.error.message;
    const LayoutNode& dialog = *result.root;
    EXPECT_EQ(dialog.kind, "Form");
    EXPECT_EQ(dialog.properties.read_text("Caption", ""), "Say \"hi\" ");
    ASSERT_EQ(dialog.children.size(), 2u);
    EXPECT_EQ(dialog.children[0].index, 2);
    const LayoutNode* slider = dialog.find("HSx");
    ASSERT_NE(slider, nullptr);
    EXPECT_EQ(slider->properties.read_int("Max", 100), 10);
    EXPECT_EQ(dialog.find("lbl", 4)->properties.read_text("Caption", ""), "plain text to the end");
    EXPECT_EQ(dialog.find("lbl"), nullptr) << "a group member is found by its index";
}

TEST(Layout, RefusesBrokenTextWithTheLineOfTheFault) {
    struct Case {
        const char* text;
        int line;
    };
    const Case cases[] = {
        {"Begin Form A\n  Caption = \"open\nEnd\n", 2},
        {"Begin Form A\n", 1},
        {"End\n", 1},
        {"Begin Form A\nEnd\nBegin Form B\nEnd\n", 3},
        {"Begin Form A\n  Left = 1\n  Left = 2\nEnd\n", 3},
        {"Begin Form A(x)\nEnd\n", 1},
        {"Key = 1\n", 1},
        {"", 0},
    };
    for (const Case& c : cases) {
        const auto result = ParseLayout(c.text);
        EXPECT_FALSE(result.root) << c.text;
        EXPECT_EQ(result.error.line, c.line) << c.text;
    }
}

}  // namespace
}  // namespace controls
