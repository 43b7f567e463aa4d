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
// chunks, wherever they are. False when any of them is missing; reason, when
// given, then says which ("no 'data' chunk").
bool readWavLayout(RiffSource& src, WavLayout& layout, std::string* reason = nullptr);

// Linear PCM whose fields make sense: 1 or more channels, a rate, 8, 16, 24 or
// 32 bits and a block of channels x bytes per sample.
bool isUsablePcm(const WaveFormat& f);
// What keeps the format from going into an AVI ("format tag 3 is not linear
// PCM", "the format has 0 channels", ...); empty when isUsablePcm.
std::string pcmProblem(const WaveFormat& f);

// The layout of a WAV file whose samples can go into an AVI: usable PCM with
// at least one whole sample frame present. False otherwise, with the reason
// ("No such file or directory", "no 'data' chunk", "the format has 0
// channels", ...).
bool ReadWavForAvi(const std::string& fileName, WavLayout& layout, std::string& reason);

// The format of a WAV file, for passing to OpenAviWriter ahead of the sound.
// False when ReadWavForAvi fails.
bool ReadWavFormat(const std::string& fileName, WaveFormat& format);

// Codes of the multimedia file layer as the duration reports them.
constexpr int kMmioErrCannotRead = 259;
constexpr int kMmioErrChunkNotFound = 265;

// The playing time of a WAV file, from the samples the file really holds
// (a compressed sound's from its 'fact' sample count). On failure ms is -1,
// reason says what is wrong in plain words (for "FILE: reason"), and message
// and caption are what the window shows: "Error opening file." ("Error
// Message"), "MMIO Error. Error Code: N" ("MMIO Error") for a missing chunk,
// or the reason itself ("Error") for a format that gives no playing time
// (0 channels, 0 samples per second, 0 bits per sample).
struct WavDuration {
    std::int32_t ms = -1;
    std::string message;
    std::string caption;
    std::string reason;
};
WavDuration WavDurationMs(const std::string& fileName);
// The same for bytes already open.
WavDuration wavDuration(RiffSource& src);

// "MMIO Error. Error Code: N", shown with the caption "MMIO Error".
std::string mmioErrorMessage(int code);

}  // namespace pelko
