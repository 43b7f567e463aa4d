#include "engine/gif/gif_decoder.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/gif/gif_exception.h"
#include "engine/gif/gif_item.h"

namespace pelko {

namespace {

constexpr int kMaxCodes = 4096;
// Room past the last pixel for the string that runs over it, plus the
// 8-byte steps of the copy.
constexpr std::size_t kSlack = kMaxCodes + 16;

// Takes codes least significant bit first from the data sub-blocks, reading
// the next sub-block only when a code needs its bits.
class CodeReader {
public:
    CodeReader(GifInput& in, const TGIFItem& sender) : in_(in), sender_(sender) {}

    // The next code, or -1 when the data is exhausted.
    int read(int size)
    {
        while (bitCount_ < size) {
            if (blockLeft_ == 0 && !nextBlock())
                break;
            bits_ |= std::uint64_t(*block_++) << bitCount_;
            bitCount_ += 8;
            --blockLeft_;
        }
        if (bitCount_ < size) {
            if (bitCount_ == 0)
                sender_.Warning(gsWarning, gifmsg::kBitBufferUnderrun);
            return -1;
        }
        const int code = int(bits_ & ((1u << size) - 1));
        bits_ >>= size;
        bitCount_ -= size;
        return code;
    }

    // Skips what is left of the data up to and including the 0 terminator.
    void skipRest()
    {
        if (ended_)
            return;
        blockLeft_ = 0;
        for (;;) {
            const int n = in_.readByte();
            if (n <= 0)
                break;
            in_.skip(std::size_t(n));
        }
        ended_ = true;
    }

private:
    bool nextBlock()
    {
        while (!ended_) {
            const int n = in_.readByte();
            if (n <= 0) {
                ended_ = true;
                return false;
            }
            std::size_t len = std::size_t(n);
            if (len > in_.remaining()) {
                sender_.Warning(gsWarning, gifmsg::kPrematureEnd);
                len = in_.remaining();
            }
            block_ = in_.current();
            in_.skip(len);
            blockLeft_ = len;
            if (len > 0)
                return true;
        }
        return false;
    }

    GifInput& in_;
    const TGIFItem& sender_;
    const std::uint8_t* block_ = nullptr;
    std::size_t blockLeft_ = 0;
    std::uint64_t bits_ = 0;
    int bitCount_ = 0;
    bool ended_ = false;
};

// Copies n bytes forward in 8-byte steps. src + n <= dst, and the
// destination has slack past n, so the over-long steps are harmless.
inline void copyString(std::uint8_t* dst, const std::uint8_t* src, std::size_t n)
{
    for (std::size_t i = 0; i < n; i += 8) {
        std::uint64_t v;
        std::memcpy(&v, src + i, 8);
        std::memcpy(dst + i, &v, 8);
    }
}

// The LZW loop over the codes of one frame. With Keep, the pixels go into
// buffer in stream order (it grows with the data, so a large frame with
// little data costs no more than what the data gives); without, the codes are
// only followed and checked. Returns how many pixels the data gave, which may
// run past total by the last string.
template <bool Keep>
std::size_t runLzw(CodeReader& reader, int s, std::size_t total, std::vector<std::uint8_t>& buffer)
{
    std::uint8_t* out = buffer.data();
    std::unique_ptr<std::uint32_t[]> start(Keep ? new std::uint32_t[kMaxCodes] : nullptr);
    std::unique_ptr<std::uint16_t[]> length(new std::uint16_t[kMaxCodes]);

    const int clear = 1 << s;
    const int end = clear + 1;
    int codeSize = s + 1;
    int maxCode = 2 * clear;
    int nextFree = clear + 2;
    int prev = -1;  // as if a clear code had just been read
    std::size_t prevPos = 0, prevLen = 0;
    std::size_t pos = 0;
    bool ended = false;

    while (pos < total) {
        if (Keep && pos + kSlack > buffer.size()) {
            const std::size_t grown = std::min(total, 2 * buffer.size()) + kSlack;
            buffer.reserve(grown);
            buffer.resize(grown);
            out = buffer.data();
        }
        const int code = reader.read(codeSize);
        if (code < 0) {
            ended = true;
            break;
        }
        if (code == clear) {
            codeSize = s + 1;
            maxCode = 2 * clear;
            nextFree = clear + 2;
            prev = -1;
            continue;
        }
        if (code == end) {
            reader.skipRest();
            ended = true;
            break;
        }
        std::size_t len;
        if (prev < 0) {
            // The first code after a clear stands for itself.
            if (code > clear)
                throw GIFException(gifmsg::kInvalidData);
            if (Keep)
                out[pos] = std::uint8_t(code);
            prevPos = pos;
            prevLen = 1;
            pos += 1;
            prev = code;
            continue;
        }
        if (code < clear) {
            if (Keep)
                out[pos] = std::uint8_t(code);
            len = 1;
        } else if (code < nextFree) {
            len = length[code];
            if (Keep)
                copyString(out + pos, out + start[code], len);
        } else if (code == nextFree && nextFree < kMaxCodes) {
            // The string of the previous code and its own first character.
            len = prevLen + 1;
            if (Keep) {
                copyString(out + pos, out + prevPos, prevLen);
                out[pos + prevLen] = out[prevPos];
            }
        } else {
            throw GIFException(gifmsg::kInvalidData);
        }
        if (nextFree < kMaxCodes) {
            if (Keep)
                start[nextFree] = std::uint32_t(prevPos);
            length[nextFree] = std::uint16_t(prevLen + 1);
            ++nextFree;
            if (nextFree >= maxCode && maxCode < kMaxCodes) {
                maxCode *= 2;
                ++codeSize;
            }
        }
        prevPos = pos;
        prevLen = len;
        pos += len;
        prev = code;
    }

    if (!ended) {
        // Every pixel is there: the next code should be the end code. Data
        // past it (or instead of it) is skipped up to the terminator.
        reader.read(codeSize);
        reader.skipRest();
    }
    return pos;
}

void checkMissing(std::size_t total, std::size_t produced, std::size_t maxMissing)
{
    if (produced < total && total - produced > maxMissing)
        throw GIFException(gifmsg::kPrematureEnd);
}

}  // namespace

std::size_t decodeGifImageData(GifInput& in, std::vector<std::uint8_t>* pixels, int width, int height,
                               bool interlaced, std::uint8_t fill, std::size_t maxMissing,
                               const TGIFItem& sender)
{
    const std::size_t total = std::size_t(width) * std::size_t(height);
    const int s = in.readByte();
    if (s < 0) {
        checkMissing(total, 0, maxMissing);
        if (pixels)
            pixels->assign(total, fill);
        return 0;
    }
    // The tables hold 4096 codes: a clear code of 4096 or more cannot work,
    // and a code size of 0 leaves no room for the end code.
    if (s < 1 || s > 11)
        throw GIFException(gifmsg::kInvalidData);

    CodeReader reader(in, sender);
    if (total == 0) {
        if (pixels)
            pixels->clear();
        reader.skipRest();
        return 0;
    }

    if (!pixels) {
        std::vector<std::uint8_t> none;
        const std::size_t produced = std::min(runLzw<false>(reader, s, total, none), total);
        checkMissing(total, produced, maxMissing);
        return produced;
    }

    std::vector<std::uint8_t> buffer(std::min<std::size_t>(total, std::size_t(1) << 16) + kSlack);
    const std::size_t produced = std::min(runLzw<true>(reader, s, total, buffer), total);
    // What the data left out is filled in below: refused when that is more
    // than the caller allows, before it is made.
    checkMissing(total, produced, maxMissing);
    const std::uint8_t* out = buffer.data();
    if (!interlaced && produced == total) {
        // A large buffer becomes the pixels as it is; a small frame's copy
        // leaves out the slack, which would outweigh it.
        if (total >= kSlack * 16) {
            buffer.resize(total);
            pixels->swap(buffer);
        } else {
            pixels->assign(out, out + total);
        }
        return produced;
    }
    pixels->assign(total, fill);
    if (!interlaced) {
        std::memcpy(pixels->data(), out, produced);
        return produced;
    }
    static constexpr int kStart[4] = {0, 4, 2, 1};
    static constexpr int kStep[4] = {8, 8, 4, 2};
    const std::size_t w = std::size_t(width);
    std::size_t src = 0;
    for (int pass = 0; pass < 4 && src < produced; ++pass)
        for (int y = kStart[pass]; y < height && src < produced; y += kStep[pass], src += w)
            std::memcpy(pixels->data() + std::size_t(y) * w, out + src, std::min(w, produced - src));
    return produced;
}

}  // namespace pelko
