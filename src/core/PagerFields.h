#pragma once
// The fields of one user (pager) record as the encoder's user-record string
// needs them. Each field is a fixed-width text of the Pager.DBS record; a
// field shorter than its width counts as padded with blanks, a longer one as
// cut, exactly as the record stores it.

#include <cstddef>
#include <string>

struct PagerFields {
    std::string PagerNo;   // 3
    std::string UserName;  // 20
    std::string Capcode;   // 7
    std::string PagerType; // 1
    std::string Baud;      // 1
    std::string Phone;     // 20
    std::string Format;    // 1
    std::string Mode;      // 1
    std::string GroupFlag; // 1
    std::string Group1;    // 1
    std::string Group2;    // 1
    std::string Group3;    // 1
    std::string Group4;    // 1
    std::string InUse;     // 1
    std::string DSC;       // 4

    bool operator==(const PagerFields&) const = default;
};

namespace PagerFieldWidth {
inline constexpr std::size_t PagerNo = 3;
inline constexpr std::size_t UserName = 20;
inline constexpr std::size_t Capcode = 7;
inline constexpr std::size_t PagerType = 1;
inline constexpr std::size_t Baud = 1;
inline constexpr std::size_t Phone = 20;
inline constexpr std::size_t Format = 1;
inline constexpr std::size_t Mode = 1;
inline constexpr std::size_t GroupFlag = 1;
inline constexpr std::size_t Group = 1;
inline constexpr std::size_t InUse = 1;
inline constexpr std::size_t DSC = 4;
} // namespace PagerFieldWidth
