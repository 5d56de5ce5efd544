#pragma once
// A dialog's layout description: its windows and controls as a tree, each with its kind, its
// name (and index, for a group of like controls) and its stored properties, read at load. The
// text form is line based:
//
//     # a comment
//     Begin Slider HSInterval
//        Left = 540            <- positions and sizes in twips, relative to the container
//        Max = 30
//        Caption = "Save"      <- quotes keep blanks; "" inside them is one quote
//     End
//     Begin Label lbl(4)       <- member 4 of the group lbl
//     End
//
// Begin ... End blocks nest: a block inside another is a child of its container. The text is
// CP932, as the platform and the controls see it.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "controls/property_bag.h"

namespace controls {

struct LayoutNode {
    std::string kind;
    std::string name;
    std::optional<int> index;
    PropertyBag properties;
    std::vector<LayoutNode> children;

    // The child (or deeper descendant) of that name and index, or nullptr.
    const LayoutNode* find(std::string_view name, std::optional<int> index = {}) const;
};

struct LayoutError {
    int line = 0;
    std::string message;
};

// The one top-level block of the text, or the first error.
struct LayoutResult {
    std::optional<LayoutNode> root;
    LayoutError error;
};
LayoutResult ParseLayout(std::string_view text);

}  // namespace controls
