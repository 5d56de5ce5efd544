// The pack split on any pack: afterwards every member file is a whole member, byte for byte
// from its place in the pack, and none is left from an earlier run. The first input byte
// chooses how the pack is made: the bytes as they are, or (odd) repeated up to the length in
// the next two bytes times two, so that packs of every length up to past 36191 bytes occur.
// Built twice: over the files in memory for the campaigns, and over the disk's files.
#include <cstdint>
#include <string>

#include "shell/resource_pack.h"
#include "tests/fuzz/fuzz_files.h"

namespace {

std::string make_pack(std::string_view input) {
    if (input.size() < 4 || (input[0] & 1) == 0) return std::string(input.substr(input.empty() ? 0 : 1));
    const std::size_t length = 2 * ((static_cast<unsigned char>(input[1]) << 8) | static_cast<unsigned char>(input[2]));
    // The body, then doubled until long enough: a few copies, not one per repetition.
    std::string pack(input.substr(3, length));
    pack.reserve(length);
    while (pack.size() < length) pack.append(pack, 0, length - pack.size());
    return pack;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string pack = make_pack(fuzz::as_text(data, size));
    static const std::string pack_path = fuzz::file_path("Zephlora.zpk");
    fuzz::put_file(pack_path, pack);
    const auto member_path = [](int n) { return shell::MemberPath(fuzz::folder(), n); };
    // Members of an earlier run, longer than any real one.
    for (int n = 1; n <= shell::kPackMemberCount; ++n) fuzz::put_file(member_path(n), std::string(8000, 'o'));

    shell::SplitPack(pack_path, member_path);

    bool missing_before = false;
    for (int n = 1; n <= shell::kPackMemberCount; ++n) {
        const shell::PackMember& member = shell::PackMemberOf(n);
        const bool inside = member.position - 1 + member.length <= pack.size();
        const std::optional<std::string> there = fuzz::file_bytes(member_path(n));
        FUZZ_CHECK(there.has_value() == (inside && !missing_before));
        if (there) FUZZ_CHECK(*there == pack.substr(member.position - 1, member.length));
        missing_before = missing_before || !there;
    }
    return 0;
}
