// The code page identifiers Windows knows (Microsoft's list of code page identifiers), and the
// rule that tells an item's InternetCodepage that carries the main application's link id from
// one Outlook set itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace orvane::items {

// Sorted, so that a code page is found by binary search.
inline constexpr int32_t kCodePages[] = {
    37,    437,   500,   708,   709,   710,   720,   737,   775,   850,   852,   855,   857,   858,   860,   861,
    862,   863,   864,   865,   866,   869,   870,   874,   875,   932,   936,   949,   950,   1026,  1047,  1140,
    1141,  1142,  1143,  1144,  1145,  1146,  1147,  1148,  1149,  1200,  1201,  1250,  1251,  1252,  1253,  1254,
    1255,  1256,  1257,  1258,  1361,  10000, 10001, 10002, 10003, 10004, 10005, 10006, 10007, 10008, 10010, 10017,
    10021, 10029, 10079, 10081, 10082, 12000, 12001, 20000, 20001, 20002, 20003, 20004, 20005, 20105, 20106, 20107,
    20108, 20127, 20261, 20269, 20273, 20277, 20278, 20280, 20284, 20285, 20290, 20297, 20420, 20423, 20424, 20833,
    20838, 20866, 20871, 20880, 20905, 20924, 20932, 20936, 20949, 21025, 21027, 21866, 28591, 28592, 28593, 28594,
    28595, 28596, 28597, 28598, 28599, 28603, 28605, 29001, 38598, 50220, 50221, 50222, 50225, 50227, 50229, 50930,
    50931, 50933, 50935, 50936, 50937, 50939, 51932, 51936, 51949, 51950, 52936, 54936, 57002, 57003, 57004, 57005,
    57006, 57007, 57008, 57009, 57010, 57011, 65000, 65001,
};

constexpr bool IsCodePage(int32_t number) {
  size_t low = 0;
  size_t high = std::size(kCodePages);
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (kCodePages[middle] == number) return true;
    if (kCodePages[middle] < number) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  return false;
}

// The link id an InternetCodepage stands for when the item has no link property: its number,
// unless Outlook may have put it there (a code page), which links to nothing (0).
constexpr int32_t LinkIdOfCodepage(int32_t codepage) { return IsCodePage(codepage) ? 0 : codepage; }

}  // namespace orvane::items
