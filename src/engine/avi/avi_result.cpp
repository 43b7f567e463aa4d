#include "engine/avi/avi_result.h"

namespace pelko {

std::string AviResultText(AviResult code)
{
    switch (code) {
        case AVIERR_OK:
            return "Success";
        case REGDB_E_CLASSNOTREG:
            return "File type not recognised.";
        case AVIERR_UNSUPPORTED:
            return "Compression is not supported for this type of data. Try select another codec.";
        case AVIERR_BADFORMAT:
            return "Corrupt file or unrecognized format. Try select another codec.";
        case AVIERR_MEMORY:
            return "Insufficient memory.";
        case AVIERR_INTERNAL:
            return "Internal error. Try select another codec.";
        case AVIERR_BADFLAGS:
            return "AVIERR_BADFLAGS";
        case AVIERR_BADPARAM:
            return "AVIERR_BADPARAM";
        case AVIERR_BADSIZE:
            return "AVIERR_BADSIZE";
        case AVIERR_BADHANDLE:
            return "AVIERR_BADHANDLE";
        case AVIERR_FILEREAD:
            return "Disk error while reading file.";
        case AVIERR_FILEWRITE:
            return "Disk error while writing file.";
        case AVIERR_FILEOPEN:
            return "Disk error while opening file.";
        case AVIERR_COMPRESSOR:
            return "AVIERR_COMPRESSOR. Try select another codec.";
        case AVIERR_NOCOMPRESSOR:
            return "A suitable compressor could not be found.";
        case AVIERR_READONLY:
            return "File attribute is read-only.";
        case AVIERR_BUFFERTOOSMALL:
            return "AVIERR_BUFFERTOOSMALL";
        case AVIERR_CANTCOMPRESS:
            return "AVIERR_CANTCOMPRESS. Try select another codec.";
        case AVIERR_USERABORT:
            return "AVIERR_USERABORT";
        case AVIERR_ERROR:
            return "AVIERR_ERROR";
        default:
            return "Unknown avi result code.";
    }
}

}  // namespace pelko
