#include <gtest/gtest.h>

#include "engine/avi/avi_result.h"

namespace pelko {
namespace {

TEST(AviResultText, TableAndUnknownCodes)
{
    struct Case {
        AviResult code;
        const char* text;
    } cases[] = {
        {AVIERR_OK, "Success"},
        {0x80040154, "File type not recognised."},
        {0x80044065, "Compression is not supported for this type of data. Try select another codec."},
        {0x80044066, "Corrupt file or unrecognized format. Try select another codec."},
        {0x80044067, "Insufficient memory."},
        {0x80044068, "Internal error. Try select another codec."},
        {0x80044069, "AVIERR_BADFLAGS"},
        {0x8004406A, "AVIERR_BADPARAM"},
        {0x8004406B, "AVIERR_BADSIZE"},
        {0x8004406C, "AVIERR_BADHANDLE"},
        {0x8004406D, "Disk error while reading file."},
        {0x8004406E, "Disk error while writing file."},
        {0x8004406F, "Disk error while opening file."},
        {0x80044070, "AVIERR_COMPRESSOR. Try select another codec."},
        {0x80044071, "A suitable compressor could not be found."},
        {0x80044072, "File attribute is read-only."},
        {0x80044074, "AVIERR_BUFFERTOOSMALL"},
        {0x80044075, "AVIERR_CANTCOMPRESS. Try select another codec."},
        {0x800440C6, "AVIERR_USERABORT"},
        {0x800440C7, "AVIERR_ERROR"},
        {0x80044073, "Unknown avi result code."},
        {0x80044076, "Unknown avi result code."},
        {0x80004005, "Unknown avi result code."},
        {1, "Unknown avi result code."},
    };
    for (const auto& c : cases) EXPECT_EQ(AviResultText(c.code), c.text) << std::hex << c.code;
}

}  // namespace
}  // namespace pelko
