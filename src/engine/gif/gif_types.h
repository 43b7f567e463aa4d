#pragma once
// Enumerations, observer callbacks and small value types shared by the GIF
// codec's model, its stream reader and writer and its encoders.

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

#include "engine/gif/color_modes.h"

namespace pelko {

// Severity of a warning handed to an image's warning observer.
enum TGIFSeverity { gsInfo, gsWarning, gsError };

// The stream version a block or image needs.
enum TGIFVersion { gvUnknown, gv87a, gv89a };

// Encoder used for every frame when an image is written.
enum TGIFCompression { gcLZW, gcRLE };

// Frame disposal; the ordinals are the values of the disposal field.
enum TDisposalMethod { dmNone, dmNoDisposal, dmBackground, dmPrevious };

enum TGIFOptimizeOption { ooCrop, ooMerge, ooCleanup, ooColorMap, ooReduceColors };

// How an image is drawn and animated (used by the painter).
enum TGIFDrawOption {
    goAsync,
    goTransparent,
    goAnimate,
    goLoop,
    goLoopContinously,
    goValidateCanvas,
    goDirectDraw,
    goClearOnLoop,
    goTile,
    goDither,
    goAutoDither
};

// A set of TGIFDrawOption, one bit per ordinal.
class TGIFDrawOptions {
public:
    constexpr TGIFDrawOptions() = default;
    constexpr TGIFDrawOptions(std::initializer_list<TGIFDrawOption> options)
    {
        for (TGIFDrawOption o : options) bits_ |= 1u << o;
    }
    constexpr bool Contains(TGIFDrawOption o) const { return (bits_ >> o) & 1u; }
    constexpr void Include(TGIFDrawOption o) { bits_ |= 1u << o; }
    constexpr void Exclude(TGIFDrawOption o) { bits_ &= ~(1u << o); }
    constexpr std::uint32_t bits() const { return bits_; }
    friend constexpr bool operator==(TGIFDrawOptions a, TGIFDrawOptions b) { return a.bits_ == b.bits_; }

private:
    std::uint32_t bits_ = 0;
};

// Stage of a progress report.
enum TProgressStage { psStarting, psRunning, psEnding };

// Warning observer: sender is the item (frame, extension, colour map, header
// or the image) that met the problem.
using TGIFWarningEvent =
    std::function<void(const void* sender, TGIFSeverity severity, const std::string& message)>;
// Progress observer: percent is 0..100.
using TGIFProgressEvent = std::function<void(TProgressStage stage, int percent, const std::string& message)>;

// A rectangle as (left, top, right, bottom), right and bottom exclusive.
struct TGIFRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TGIFRect&, const TGIFRect&) = default;
};

// Platform thread priorities that painter threads may run at.
enum TGIFThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

}  // namespace pelko
