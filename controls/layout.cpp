#include "controls/layout.h"

#include <charconv>

namespace controls {
namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
    return text;
}

bool IsNameChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsName(std::string_view text) {
    if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
    for (char c : text)
        if (!IsNameChar(c)) return false;
    return true;
}

// "name" or "name(index)".
bool ParseNameAndIndex(std::string_view text, LayoutNode& node) {
    const std::size_t open = text.find('(');
    if (open == std::string_view::npos) {
        node.name = std::string(text);
        return IsName(text);
    }
    if (text.back() != ')') return false;
    const std::string_view digits = text.substr(open + 1, text.size() - open - 2);
    int index = 0;
    auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
    if (digits.empty() || error != std::errc{} || end != digits.data() + digits.size() || index < 0) return false;
    node.name = std::string(text.substr(0, open));
    node.index = index;
    return IsName(node.name);
}

// The value after "=": a quoted text (with "" for a quote, nothing but blanks after it) or
// the rest of the line.
std::optional<std::string> ParseValue(std::string_view text) {
    text = Trim(text);
    if (text.empty() || text.front() != '"') return std::string(text);
    std::string value;
    std::size_t i = 1;
    while (true) {
        if (i >= text.size()) return std::nullopt;
        if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                value += '"';
                i += 2;
                continue;
            }
            break;
        }
        value += text[i++];
    }
    if (!Trim(text.substr(i + 1)).empty()) return std::nullopt;
    return value;
}

}  // namespace

const LayoutNode* LayoutNode::find(std::string_view wanted, std::optional<int> wanted_index) const {
    for (const LayoutNode& child : children) {
        if (child.name == wanted && child.index == wanted_index) return &child;
        if (const LayoutNode* deeper = child.find(wanted, wanted_index)) return deeper;
    }
    return nullptr;
}

LayoutResult ParseLayout(std::string_view text) {
    LayoutResult result;
    std::vector<LayoutNode> open;
    int line_number = 0;
    auto fail = [&](std::string message) {
        result.root.reset();
        result.error = {line_number, std::move(message)};
        return result;
    };
    while (!text.empty()) {
        ++line_number;
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.empty() || line.front() == '#') continue;
        if (line.substr(0, 6) == "Begin " || line.substr(0, 6) == "Begin\t") {
            if (result.root) return fail("text after the last End");
            std::string_view rest = Trim(line.substr(6));
            const std::size_t blank = rest.find_first_of(" \t");
            if (blank == std::string_view::npos) return fail("Begin needs a kind and a name");
            LayoutNode node;
            node.kind = std::string(rest.substr(0, blank));
            if (!IsName(node.kind) || !ParseNameAndIndex(Trim(rest.substr(blank)), node))
                return fail("bad kind or name");
            open.push_back(std::move(node));
        } else if (line == "End") {
            if (open.empty()) return fail("End without Begin");
            LayoutNode done = std::move(open.back());
            open.pop_back();
            if (open.empty()) result.root = std::move(done);
            else open.back().children.push_back(std::move(done));
        } else {
            const std::size_t equals = line.find('=');
            if (equals == std::string_view::npos) return fail("expected Key = value");
            if (open.empty()) return fail("property outside a block");
            const std::string_view key = Trim(line.substr(0, equals));
            if (!IsName(key)) return fail("bad key");
            auto value = ParseValue(line.substr(equals + 1));
            if (!value) return fail("unterminated text");
            if (open.back().properties.has(key)) return fail("key given twice");
            open.back().properties.set(key, *value);
        }
    }
    if (!open.empty()) return fail("Begin without End");
    if (!result.root) return fail("no block");
    return result;
}

}  // namespace controls
