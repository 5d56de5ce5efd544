#include "settings_dialog/dialog_layout.h"

#include <algorithm>

#include "settings_dialog/layout_text.h"

namespace settings_dialog {

std::string_view DialogLayoutText() { return embedded::kDialogLayout; }

const controls::LayoutNode* DialogLayout() {
    static const controls::LayoutResult parsed = controls::ParseLayout(DialogLayoutText());
    return parsed.root ? &*parsed.root : nullptr;
}

plat::Rect PixelRect(const controls::LayoutNode& node, plat::Point twips_per_pixel) {
    const int tx = twips_per_pixel.x > 0 ? twips_per_pixel.x : 15;
    const int ty = twips_per_pixel.y > 0 ? twips_per_pixel.y : 15;
    const controls::PropertyBag& p = node.properties;
    const int left = p.read_int("Left", 0) / tx, top = p.read_int("Top", 0) / ty;
    return {left, top, left + p.read_int("Width", 0) / tx, top + p.read_int("Height", 0) / ty};
}

namespace {

// Label alignments of the description: 0 left, 1 right, 2 centre.
bool GrowsLeft(const controls::LayoutNode& n) {
    return n.kind == "Label" && !n.properties.read_bool("WordWrap", false) && n.properties.read_int("Alignment", 0) != 0;
}
bool GrowsRight(const controls::LayoutNode& n) {
    return n.kind == "Label" && !n.properties.read_bool("WordWrap", false) && n.properties.read_int("Alignment", 0) != 1;
}

}  // namespace

plat::Rect LabelRoom(const controls::LayoutNode& container, const controls::LayoutNode& label, plat::Point twips) {
    const plat::Rect own = PixelRect(label, twips);
    const plat::Rect inside = PixelRect(container, twips);
    int left = 0, right = inside.width();
    for (const controls::LayoutNode& other : container.children) {
        if (&other == &label) continue;
        const plat::Rect r = PixelRect(other, twips);
        if (r.bottom <= own.top || r.top >= own.bottom || r.width() <= 0) continue;  // another row
        if (r.left > own.left && r.right > own.right) {
            // On the right: up to it, or to the middle of the gap when it grows this way too.
            const int edge = GrowsLeft(other) && r.left > own.right ? own.right + (r.left - own.right) / 2 : r.left;
            right = std::min(right, edge);
        } else if (r.right < own.right && r.left < own.left) {
            const int edge = GrowsRight(other) && r.right < own.left ? r.right + (own.left - r.right) / 2 : r.right;
            left = std::max(left, edge);
        }
    }
    return {std::min(left, own.left), own.top, std::max(right, own.right), own.bottom};
}

const controls::LayoutNode* FindControl(std::string_view name, std::optional<int> index) {
    const controls::LayoutNode* root = DialogLayout();
    if (!root) return nullptr;
    if (root->name == name && root->index == index) return root;
    return root->find(name, index);
}

}  // namespace settings_dialog
