#include "tools/gallery/options.h"

#include <charconv>

namespace gallery {
namespace {

// Whole decimal numbers separated by commas; empty when the text is anything else.
std::optional<std::vector<int>> numbers(const std::string& text, std::size_t at_most) {
    std::vector<int> out;
    const char* p = text.data();
    const char* end = p + text.size();
    while (true) {
        int n = 0;
        const auto [next, ec] = std::from_chars(p, end, n);
        if (ec != std::errc{} || next == p) return std::nullopt;
        out.push_back(n);
        p = next;
        if (p == end) break;
        if (*p != ',') return std::nullopt;
        ++p;
    }
    if (out.size() > at_most) return std::nullopt;
    return out;
}

}  // namespace

std::optional<Options> ParseOptions(const std::vector<std::string>& args, std::string& error) {
    Options o;
    int button = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--list") {
            o.list = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = a.rfind("--", 0) == 0 ? a + " needs a value" : "unknown argument " + a;
            return std::nullopt;
        }
        const std::string& v = args[++i];
        auto step = [&](Step::Kind kind, std::size_t at_most) {
            const auto n = numbers(v, at_most);
            if (!n) {
                error = a + " takes " + (at_most == 1 ? "a number" : "N or X,Y") + ", not " + v;
                return false;
            }
            o.request.steps.push_back({kind, *n, button});
            return true;
        };
        if (a == "--control") {
            o.control = v;
        } else if (a == "--set") {
            const std::size_t eq = v.find('=');
            if (eq == std::string::npos || eq == 0) {
                error = "--set takes Key=Value, not " + v;
                return std::nullopt;
            }
            o.request.bag.set(v.substr(0, eq), v.substr(eq + 1));
        } else if (a == "--rect") {
            const auto n = numbers(v, 4);
            if (!n || n->size() != 4 || (*n)[2] <= 0 || (*n)[3] <= 0) {
                error = "--rect takes X,Y,W,H with a positive size, not " + v;
                return std::nullopt;
            }
            o.request.rect = plat::Rect{(*n)[0], (*n)[1], (*n)[0] + (*n)[2], (*n)[1] + (*n)[3]};
        } else if (a == "--state") {
            o.request.state = v;
        } else if (a == "--button") {
            const auto n = numbers(v, 1);
            if (!n || ((*n)[0] != 1 && (*n)[0] != 2 && (*n)[0] != 4)) {
                error = "--button takes 1, 2 or 4, not " + v;
                return std::nullopt;
            }
            button = (*n)[0];
        } else if (a == "--press") {
            if (!step(Step::Press, 2)) return std::nullopt;
        } else if (a == "--move") {
            if (!step(Step::Move, 2)) return std::nullopt;
        } else if (a == "--release") {
            if (!step(Step::Release, 2)) return std::nullopt;
        } else if (a == "--drag") {
            if (!step(Step::Drag, 2)) return std::nullopt;
        } else if (a == "--key") {
            if (!step(Step::Key, 1)) return std::nullopt;
        } else if (a == "--zoom") {
            const auto n = numbers(v, 1);
            if (!n || (*n)[0] < 1 || (*n)[0] > 32) {
                error = "--zoom takes 1 to 32, not " + v;
                return std::nullopt;
            }
            o.zoom = (*n)[0];
        } else if (a == "--out") {
            o.out = v;
        } else {
            error = "unknown argument " + a;
            return std::nullopt;
        }
    }
    if (!o.list && (o.control.empty() || o.out.empty())) {
        error = "--control and --out are needed";
        return std::nullopt;
    }
    return o;
}

}  // namespace gallery
