#pragma once
// One page for one pager, as every sender of pages builds it. Kept in core so
// that the cover page's request can live with the other program-wide variables.

#include <cstdint>
#include <string>

#include "KS_String.h"

struct PageRequest {
    static constexpr std::int32_t kPage = 1;
    static constexpr std::int32_t kCoverPage = 3;

    std::string PagerNo;          // 3 characters, "001" to "999"
    std::int32_t Kind = kPage;    // only pages and cover pages carry their text
    bool IsVoice = false;
    std::string Reserved1;        // never set or read
    std::string Message;
    std::int32_t Reserved2 = 0;   // never set or read

    // The pager number as the request holds it: blank-padded or cut to three characters.
    void SetPagerNo(const std::string& number) { PagerNo = PadRight(number, 3); }
};
