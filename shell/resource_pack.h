// The resource pack Zephlora.zpk: nine shape members stored back to back at fixed places.
#pragma once

#include <array>
#include <cstdint>
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

// ProgramFolder + "\Zephlora.zpk".
std::string PackPath();

// folder + "\Zephlora" + n as three digits + ".zpk", n from 1 to 9: where member n of the
// pack lies once split, and where the engine reads it.
std::string MemberPath(const std::string& folder, int n);

// The same in the program's folder.
std::string MemberPath(int n);

// Copies the nine members out of the pack into the program's folder. Stops at the first
// member that cannot be read whole or written; see resource_pack.cpp for a short pack.
void SplitResourcePack();

// Deletes the nine member files; each failure is passed over.
void DeletePackMembers();

}  // namespace shell
