#pragma once
// Result codes of the AVI layer. Every writer operation returns one of these
// (0 for success); callers compare the codes and turn them into texts with
// AviResultText wherever a text is shown.

#include <cstdint>
#include <string>

namespace pelko {

using AviResult = std::uint32_t;

constexpr AviResult AVIERR_OK = 0;
constexpr AviResult REGDB_E_CLASSNOTREG = 0x80040154;
constexpr AviResult AVIERR_UNSUPPORTED = 0x80044065;
constexpr AviResult AVIERR_BADFORMAT = 0x80044066;
constexpr AviResult AVIERR_MEMORY = 0x80044067;
constexpr AviResult AVIERR_INTERNAL = 0x80044068;
constexpr AviResult AVIERR_BADFLAGS = 0x80044069;
constexpr AviResult AVIERR_BADPARAM = 0x8004406A;
constexpr AviResult AVIERR_BADSIZE = 0x8004406B;
constexpr AviResult AVIERR_BADHANDLE = 0x8004406C;
constexpr AviResult AVIERR_FILEREAD = 0x8004406D;
constexpr AviResult AVIERR_FILEWRITE = 0x8004406E;
constexpr AviResult AVIERR_FILEOPEN = 0x8004406F;
constexpr AviResult AVIERR_COMPRESSOR = 0x80044070;
constexpr AviResult AVIERR_NOCOMPRESSOR = 0x80044071;
constexpr AviResult AVIERR_READONLY = 0x80044072;
constexpr AviResult AVIERR_BUFFERTOOSMALL = 0x80044074;
constexpr AviResult AVIERR_CANTCOMPRESS = 0x80044075;
constexpr AviResult AVIERR_USERABORT = 0x800440C6;
constexpr AviResult AVIERR_ERROR = 0x800440C7;

// The message text of a result code; "Unknown avi result code." for any code
// outside the table.
std::string AviResultText(AviResult code);

}  // namespace pelko
