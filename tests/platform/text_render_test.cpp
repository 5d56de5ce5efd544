// Fonts and painting.
#include <gtest/gtest.h>

#include "platform/soft/text.h"

namespace {
TEST(TextRender, Placeholder) { SUCCEED(); }
}  // namespace
