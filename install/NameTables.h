// The printer names of the main dialog's rows: three models, or up to 200 numbered clones.
//
// One row's name is at once its driver's name, its printer's name and the name of its
// settings target. Each name sits in a 128-character slot.
#pragma once

#include <array>

namespace zenthar {

inline constexpr int kNameSlot = 128;
inline constexpr int kModelCount = 3;
inline constexpr int kCloneCount = 200;

using NameSlot = std::array<char, kNameSlot>;

extern const std::array<NameSlot, kModelCount> ModelNames;
extern const std::array<NameSlot, kCloneCount> CloneNames;

// A table and how many entries it has, as the list is filled from it.
struct NameTable {
    const NameSlot* names;
    int count;

    // The entry, or an empty text for an index the table does not have.
    const char* operator[](int index) const { return index >= 0 && index < count ? names[index].data() : ""; }
};

inline const NameTable kModelTable{ModelNames.data(), kModelCount};
inline const NameTable kCloneTable{CloneNames.data(), kCloneCount};

}  // namespace zenthar
