// The resource pack Zephlora.zpk: nine shape members stored back to back at fixed places.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

namespace shell {

struct PackMember {
    std::uint32_t position;  // first byte, counting from 1
    std::uint32_t length;    // bytes
};

inline constexpr int kPackMemberCount = 9;
inline constexpr std::uint32_t kPackLength = 36191;

inline constexpr std::array<PackMember, kPackMemberCount> PackMemberTable{{
    {1, 7569},
    {7570, 3851},
    {11421, 4305},
    {15726, 4020},
    {19746, 3746},
    {23492, 2396},
    {25888, 3148},
    {29036, 4038},
    {33074, 3118},
}};

// Member n's place in the table, n from 1 to kPackMemberCount.
constexpr const PackMember& PackMemberOf(int n) { return PackMemberTable[static_cast<std::size_t>(n - 1)]; }

// ProgramFolder + "\Zephlora.zpk".
std::string PackPath();

// folder + "\Zephlora" + n as three digits + ".zpk", n from 1 to 9: where member n of the
// pack lies once split, and where the engine reads it.
std::string MemberPath(const std::string& folder, int n);

// The same in the members' folder (MemberFolder: the program's folder, or the user's own).
std::string MemberPath(int n);

// Copies the nine members out of the pack file `pack` to member_path(1) .. member_path(9).
// Stops at the first member that cannot be read whole or written and deletes the files of
// that member and of every later one; see resource_pack.cpp for a short pack.
void SplitPack(const std::string& pack, const std::function<std::string(int)>& member_path);

// SplitPack of PackPath into the members' folder (MemberPath).
void SplitResourcePack();

// Deletes the nine member files; each failure is passed over.
void DeletePackMembers();

}  // namespace shell
