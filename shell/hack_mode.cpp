#include "shell/hack_mode.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <type_traits>

#include "common/settings_table.h"
#include "common/texts.h"
#include "music/run.h"
#include "platform/files.h"
#include "platform/host_window.h"
#include "platform/system.h"
#include "platform/text.h"
#include "shell/resource_pack.h"
#include "shell/routines.h"
#include "shell/saver_host.h"
#include "shell/saver_window.h"
#include "shell/settings_store.h"

namespace shell {
namespace {

// The option's name without its hyphens, or empty when the argument is no option.
std::string_view OptionName(std::string_view arg) {
    if (arg.starts_with("--")) return arg.substr(2);
    if (arg.starts_with("-") && arg.size() > 1) return arg.substr(1);
    return {};
}

// The setting whose option is `name` (a switch's "no-" form included), or null.
const settings::Row* SettingOfOption(std::string_view name) {
    for (const settings::Row* row : settings::kRows) {
        if (row->option == settings::Option::None) continue;
        if (name == row->name) return row;
        if (row->option == settings::Option::Switch && name.starts_with("no-") && name.substr(3) == row->name)
            return row;
    }
    return nullptr;
}

bool IsOwnOption(std::string_view name) {
    return name == "root" || name == "window-id" || name == "help" || SettingOfOption(name);
}

// A whole decimal number within [low, high].
std::optional<long> NumberIn(std::string_view text, long low, long high) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    std::size_t at = text[0] == '-' ? 1 : 0;
    if (at == text.size()) return std::nullopt;
    long value = 0;
    for (; at < text.size(); ++at) {
        if (text[at] < '0' || text[at] > '9') return std::nullopt;
        value = value * 10 + (text[at] - '0');
    }
    if (text[0] == '-') value = -value;
    if (value < low || value > high) return std::nullopt;
    return value;
}

// Records the value given for `setting`'s option (a number of its range, or for a switch true
// when on) in its member of HackOptions.
void Given(HackOptions& options, const settings::Row& setting, long value) {
    settings::ForEachOption(options, [&](const settings::Row& row, auto& member) {
        using Value = typename std::remove_reference_t<decltype(member)>::value_type;
        if (&row == &setting) member = static_cast<Value>(value);
    });
}

}  // namespace

bool IsHackCommandLine(const std::vector<std::string>& args) {
    if (args.empty()) return false;
    if (args[0].starts_with("--")) return true;
    const std::string_view name = OptionName(args[0]);
    const std::size_t equals = name.find('=');
    return !name.empty() && IsOwnOption(name.substr(0, equals));
}

std::optional<std::uint64_t> ParseWindowId(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    }
    if (text.empty() || text.size() > 16) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
    }
    // X window ids have 29 bits; 0 names no window.
    if (value == 0 || value > 0xFFFFFFFFu) return std::nullopt;
    return value;
}

bool ParseHackOptions(const std::vector<std::string>& args, HackOptions& options, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string_view name = OptionName(args[i]);
        std::optional<std::string> value;
        if (const std::size_t equals = name.find('='); equals != std::string_view::npos) {
            value = std::string(name.substr(equals + 1));
            name = name.substr(0, equals);
        }
        if (name.empty() || !IsOwnOption(name)) {
            error = "unknown option: " + args[i];
            return false;
        }
        const settings::Row* setting = SettingOfOption(name);
        const bool takes_value = name == "window-id" || (setting && setting->option == settings::Option::Number);
        if (!takes_value) {
            if (value) {
                error = "--" + std::string(name) + " takes no value";
                return false;
            }
            if (name == "root") options.root = true;
            else if (name == "help") options.help = true;
            else Given(options, *setting, name == setting->name);  // the switch on, or its "no-" form
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size()) {
                error = "--" + std::string(name) + " needs a value";
                return false;
            }
            value = args[++i];
        }
        const auto bad = [&] {
            error = "--" + std::string(name) + ": " + *value + " is out of range";
            return false;
        };
        if (name == "window-id") {
            options.window_id = ParseWindowId(*value);
            if (!options.window_id) return bad();
        } else {
            const auto n = NumberIn(*value, setting->low, setting->high);
            if (!n) return bad();
            Given(options, *setting, *n);
        }
    }
    return true;
}

void ApplyHackOptions(const HackOptions& o, SaverSettingsRecord& s) {
    settings::ForEachOverride(o, s, [](const settings::Row& row, const auto& given, auto& field) {
        if (!given) return;
        // A switch gives the high end of its range when on, the low end when off.
        const std::int32_t value = row.option == settings::Option::Switch ? (*given ? row.high : row.low)
                                                                           : static_cast<std::int32_t>(*given);
        field = static_cast<std::remove_reference_t<decltype(field)>>(value);
    });
}

std::string HackUsage() {
    std::string usage = "usage: zephlora --root | --window-id ID [options]\n"
                        "       zephlora /s | /p ID | /c   (the screen-saver switches)\n"
                        "  --root            draw into $XSCREENSAVER_WINDOW, else the root window\n"
                        "  --window-id ID    draw into window ID (decimal, or hexadecimal with 0x)\n";
    usage += settings::kOptionsUsage;
    usage += "Options given here hold for this run in place of the settings file's values.\n";
    return usage;
}

namespace {

// Timer1 and Timer2 of the music supervision, kept by the run's own clock at the saver
// window's periods.
class HackMusicTimers final : public music::RunTimers {
public:
    void set_enabled(music::MusicTimer timer, bool enabled) override { on_[index(timer)] = enabled; }
    bool is_enabled(music::MusicTimer timer) const override { return on_[index(timer)]; }
    // At most one tick per timer per call, as window timers are coalesced.
    void tick(std::uint64_t now) {
        if (on_[0] && now - last_[0] >= kTimerPeriodMs[kTimer1]) {
            last_[0] = now;
            music::OnTimer1();
        }
        if (on_[1] && now - last_[1] >= kTimerPeriodMs[kTimer2]) {
            last_[1] = now;
            music::OnTimer2(*this);
        }
    }

private:
    static std::size_t index(music::MusicTimer timer) { return timer == music::MusicTimer::Timer1 ? 0 : 1; }
    bool on_[2] = {false, false};
    std::uint64_t last_[2] = {0, 0};
};

struct HackRun {
    std::string member_folder;
    bool music = false;
    HackMusicTimers timers;
};

HackRun& Run() {
    static HackRun run;
    return run;
}

// Everything a run leaves behind goes: the music, the members and their folder.
void EndOfRun() {
    HackRun& run = Run();
    if (run.music) {
        run.music = false;
        music::StopRunMusic(run.timers);
    }
    if (!run.member_folder.empty()) {
        DeletePackMembers();
        plat::remove_empty_folder(run.member_folder);
        run.member_folder.clear();
    }
}

int Fail(const std::string& text) {
    std::fprintf(stderr, "zephlora: %s\n", text.c_str());
    EndOfRun();
    return 1;
}

}  // namespace

int RunHackMode(const std::vector<std::string>& args) {
    HackOptions options;
    std::string error;
    if (!ParseHackOptions(args, options, error)) {
        std::fprintf(stderr, "zephlora: %s\n%s", error.c_str(), HackUsage().c_str());
        return 1;
    }
    if (options.help) {
        std::fputs(HackUsage().c_str(), stdout);
        return 0;
    }
    std::uint64_t target = 0;
    if (options.window_id) {
        target = *options.window_id;
    } else if (options.root) {
        const char* named = std::getenv("XSCREENSAVER_WINDOW");
        if (named && *named)
            if (const auto id = ParseWindowId(named)) target = *id;
    } else {
        std::fprintf(stderr, "zephlora: --root or --window-id is needed\n%s", HackUsage().c_str());
        return 1;
    }

    plat::HostWindowInfo window;
    if (!plat::attach_host_window(target, window)) return Fail("no window to draw into (no X display, or no such window)");
    if (!FileExists(PackPath())) return Fail(plat::cp932_to_utf8(texts::kPackMissing));

    // Copies run side by side, one per monitor: each has members of its own, in a folder of
    // its own, so that none deletes the members of another.
    HackRun& run = Run();
    std::string parent = plat::user_temporary_folder();
    if (parent.empty()) parent = MemberFolder();
    run.member_folder = plat::make_private_folder(parent);
    if (run.member_folder.empty()) return Fail("no folder for the shapes");
    SetMemberFolder(run.member_folder);
    plat::on_host_window_lost(EndOfRun);
    SplitResourcePack();
    LoadSettings();
    ApplyHackOptions(options, SaverSettings);

    // A preview pane smaller than its monitor shows what the monitor would show: the frames
    // are composed at the monitor's size and shrunk to the pane.
    int width = window.width, height = window.height;
    const bool preview = width < window.monitor.width() && height < window.monitor.height();
    if (preview) {
        width = window.monitor.width();
        height = window.monitor.height();
    }

    std::unique_ptr<SaverHost> host;
    std::uint64_t last_change = plat::tick_count_ms();
    SaverHostDevices devices;
    devices.pump = [&] {
        if (!plat::host_window_alive()) {
            host->Stop();
            return;
        }
        const std::uint64_t now = plat::tick_count_ms();
        if (now - last_change >= kTimerPeriodMs[kTimer3]) {  // the shape-change tick of Timer3
            last_change = now;
            host->ChangeTick();
        }
        if (run.music) run.timers.tick(now);
    };
    devices.report = [](const std::string& reason) { std::fprintf(stderr, "zephlora: cannot start: %s\n", reason.c_str()); };
    const auto present = [&](const plat::Bitmap& frame) {
        if (host->ShownAll())
            plat::present_to_host_window(frame, nullptr, 0);
        else
            plat::present_to_host_window(frame, host->ShownRects().data(), host->ShownRects().size());
    };
    host = std::make_unique<SaverHost>(MemberFolder(), EngineSettingsOf(SaverSettings), present, devices);
    host->Shuffle();

    // One copy plays the music: the one on the first monitor, never a preview.
    if (window.on_first_monitor && !preview && SaverSettings.BgmKind != 0) {
        music::MusicChoice choice;
        choice.BgmKind = SaverSettings.BgmKind;
        choice.BgmRepeat = SaverSettings.BgmRepeat;
        choice.BgmFile = SaverSettings.BgmFile;
        run.music = true;
        music::StartRunMusic(choice, run.timers);
    }

    const bool ran = plat::host_window_alive() && host->RunEngine(width, height);
    const bool stopped = !plat::host_window_alive();
    EndOfRun();
    return ran || stopped ? 0 : 1;
}

}  // namespace shell
