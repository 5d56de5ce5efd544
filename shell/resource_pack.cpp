#include "shell/resource_pack.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/system.h"
#include "shell/routines.h"

namespace shell {

std::string PackPath() { return ProgramFile("Zephlora.zpk"); }

std::string MemberPath(const std::string& folder, int n) {
    char name[32];
    std::snprintf(name, sizeof name, "Zephlora%03d.zpk", n);
    std::string path = folder;
    path += plat::kPathSeparator;
    path += name;
    return path;
}

std::string MemberPath(int n) { return MemberPath(MemberFolder(), n); }

// The pack's length is not tested beforehand. Each member is read whole from its fixed place
// or not at all: a pack shorter than 36191 bytes yields the members that lie wholly inside
// it, and the split stops at the first member that reaches past its end. That member is
// never written as a cut or padded file (the engine would read a wrong shape from it), and
// neither it nor any later member is left over from an earlier run: such a file may come
// from another pack, so the folder keeps only members of the pack just read. The engine
// then meets a missing member, which it handles as such. A longer pack is split the same
// way; the bytes after member 9 are ignored.
//
// Each member is written to a temporary file that is renamed over the old member, so a
// failed write (folder not writable, disk full) never leaves a partial member, and a longer
// member left by an earlier run cannot keep a stale tail.
void SplitPack(const std::string& pack, const std::function<std::string(int)>& member_path) {
    for (int n = 1; n <= kPackMemberCount; ++n) {
        const PackMember& member = PackMemberOf(n);
        std::vector<std::uint8_t> bytes;
        const bool ok = plat::read_file_range(pack, member.position - 1, member.length, bytes) &&
                        plat::write_file_replacing(member_path(n), bytes.data(), bytes.size());
        if (!ok) {
            for (int rest = n; rest <= kPackMemberCount; ++rest) plat::delete_file(member_path(rest));
            return;
        }
    }
}

void SplitResourcePack() {
    SplitPack(PackPath(), [](int n) { return MemberPath(n); });
}

void DeletePackMembers() {
    for (int n = 1; n <= kPackMemberCount; ++n) plat::delete_file(MemberPath(n));
}

}  // namespace shell
