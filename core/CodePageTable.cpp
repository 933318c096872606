#include "core/CodePageTable.h"

namespace zenthar {

// Not sorted by number: 737, 857 and 858 came later and were appended.
const CodePageEntry CodePageTable[kCodePageCount] = {
    {"United States (437)", 437},
    {"Multilingual - Latin 1 (850)", 850},
    {"Slavic - Latin 2 (852)", 852},
    {"Canadian French  (863)", 863},
    {"Arabic  (864)", 864},
    {"Russian (866)", 866},
    {"Thai    (874)", 874},
    {"Japanese (932)", 932},
    {"Simplified Chinese (936)", 936},
    {"Korean  (949)", 949},
    {"Traditional Chinese (950)", 950},
    {"Eastern European   (1250)", 1250},
    {"Cyrillic  (1251)", 1251},
    {"US (ANSI) (1252)", 1252},
    {"Greek     (1253)", 1253},
    {"Turkish   (1254)", 1254},
    {"Hebrew    (1255)", 1255},
    {"Arabic    (1256)", 1256},
    {"Baltic    (1257)", 1257},
    {"Vietnamese(1258)", 1258},
    {"Greek   (737)", 737},
    {"IBM Turkish   (857)", 857},
    {"Multilingual Latin I + Euro(858)", 858},
};

int CodePageIndexOf(std::uint32_t codePage)
{
    for (int i = 0; i < kCodePageCount; ++i)
        if (CodePageTable[i].codePage == codePage) return i;
    return -1;
}

std::uint32_t CodePageAt(int index)
{
    return index >= 0 && index < kCodePageCount ? CodePageTable[index].codePage : 0;
}

}  // namespace zenthar
