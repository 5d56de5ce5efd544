#include "settings_dialog/dialog_layout.h"

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

const controls::LayoutNode* FindControl(std::string_view name, std::optional<int> index) {
    const controls::LayoutNode* root = DialogLayout();
    if (!root) return nullptr;
    if (root->name == name && root->index == index) return root;
    return root->find(name, index);
}

}  // namespace settings_dialog
