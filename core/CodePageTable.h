// The printer code pages the user can choose, in the order of the code-page combo.
//
// The index into this table is what the installation keeps (codePageIndex); the driver file
// sets pick the code page's printer description by the same index, and the settings record
// stores the number.
#pragma once

#include <cstdint>

namespace zenthar {

struct CodePageEntry {
    const char* label;  // as the combo shows it, uneven spacing included
    std::uint32_t codePage;
};

inline constexpr int kCodePageCount = 23;
// The entry of code page 1252, which every run starts from.
inline constexpr int kDefaultCodePageIndex = 13;

extern const CodePageEntry CodePageTable[kCodePageCount];

// The entry of a code page number; -1 when the table has none.
int CodePageIndexOf(std::uint32_t codePage);
// The code page number of an entry; 0 for an index outside the table.
std::uint32_t CodePageAt(int index);

}  // namespace zenthar
