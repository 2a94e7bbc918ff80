#pragma once
// The fields of one user (pager) record as the encoder's user-record string
// needs them. Each field is a fixed-width text of the Pager.DBS record; a
// field shorter than its width counts as padded with blanks, a longer one as
// cut, exactly as the record stores it.

#include <cstddef>
#include <string>

#include "KS_Records.h"

// The encoder's user-record string is built from and parsed into the
// Pager.DBS record itself, so a record read from the file goes to the encoder
// without a copy of its fields.
using PagerFields = PagerRecord;

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
