#pragma once
// Reading RIFF WAVE files: the layout that the AVI writer copies sound from,
// and the playing time shown by the sound dialogs.

#include <cstdint>
#include <string>

#include "engine/avi/riff.h"

namespace pelko {

constexpr std::uint16_t kWaveFormatPcm = 1;
constexpr std::uint16_t kWaveFormatExtensible = 0xFFFE;

// The fields of a WAVEFORMATEX. Channels 0 means "not set yet".
struct WaveFormat {
    std::uint16_t formatTag = 0;
    std::uint16_t channels = 0;
    std::uint32_t samplesPerSec = 0;
    std::uint32_t avgBytesPerSec = 0;
    std::uint16_t blockAlign = 0;
    std::uint16_t bitsPerSample = 0;
    std::uint16_t extraSize = 0;

    // Two sounds go into one audio stream when these six fields agree.
    bool sameAs(const WaveFormat& o) const
    {
        return formatTag == o.formatTag && channels == o.channels && samplesPerSec == o.samplesPerSec &&
               avgBytesPerSec == o.avgBytesPerSec && blockAlign == o.blockAlign &&
               bitsPerSample == o.bitsPerSample;
    }
};

// Where a WAV file's format and samples are. Extensible PCM is reported with
// format tag 1.
struct WavLayout {
    WaveFormat format;
    std::uint64_t dataOffset = 0;
    std::uint32_t dataSize = 0;       // as the data chunk declares it
    std::uint64_t dataAvailable = 0;  // the part of it that the file really holds
};

// Finds the RIFF chunk and in it the 'fmt ' (at least 16 bytes) and 'data'
// chunks, wherever they are. False when any of them is missing.
bool readWavLayout(RiffSource& src, WavLayout& layout);

// Linear PCM whose fields make sense: 1 or more channels, a rate, 8, 16, 24 or
// 32 bits and a block of channels x bytes per sample.
bool isUsablePcm(const WaveFormat& f);

// The format of a WAV file, for passing to OpenAviWriter ahead of the sound.
// False when the file cannot be read or holds no usable PCM.
bool ReadWavFormat(const std::string& fileName, WaveFormat& format);

// Codes of the multimedia file layer as the duration reports them.
constexpr int kMmioErrCannotRead = 259;
constexpr int kMmioErrChunkNotFound = 265;

// The playing time of a WAV file. On failure ms is -1 and, unless the failure
// is a zero rate or sample size, message and caption say what to show.
struct WavDuration {
    std::int32_t ms = -1;
    std::string message;
    std::string caption;
};
WavDuration WavDurationMs(const std::string& fileName);
// The same for bytes already open.
WavDuration wavDuration(RiffSource& src);

// "MMIO Error. Error Code: N", shown with the caption "MMIO Error".
std::string mmioErrorMessage(int code);

}  // namespace pelko
