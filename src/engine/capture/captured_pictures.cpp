#include "engine/capture/captured_pictures.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "engine/output/frame_pixel_store.h"

namespace pelko {

namespace {

std::string temporaryFolder()
{
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::temp_directory_path(error);
    return error ? std::string("/tmp") : dir.string();
}

}  // namespace

CapturedPictures::CapturedPictures(std::size_t memoryBudget, std::string scratchFolder)
    : budget_(memoryBudget),
      besidePath_((scratchFolder.empty() ? temporaryFolder() : scratchFolder) + "/capture"),
      firstBudget_(memoryBudget)
{
    clear();
}

CapturedPictures::~CapturedPictures() = default;

void CapturedPictures::clear(bool forRecording)
{
    store_.reset();
    // a recording keeps to the smaller budget unless a smaller one was asked for
    budget_ = forRecording ? std::min(firstBudget_, kRecordingMemoryBudget) : firstBudget_;
    store_ = std::make_unique<FramePixelStore>(
        besidePath_, budget_, forRecording ? FramePixelStore::Packing::Zstd : FramePixelStore::Packing::Zlib);
    count_ = width_ = height_ = 0;
    std::vector<std::int64_t>().swap(times_);
    endMs_ = 0;
}

void CapturedPictures::add(const Picture& picture, std::int64_t atMs)
{
    if (atMs < 0 || (!times_.empty() && atMs < times_.back()) || (times_.empty() && count_ > 0))
        throw std::invalid_argument("a recorded picture out of time order");
    add(picture);
    times_.push_back(atMs);
    endMs_ = atMs;
}

void CapturedPictures::setEndMs(std::int64_t endMs)
{
    endMs_ = std::max(endMs, times_.empty() ? std::int64_t(0) : times_.back());
}

std::int64_t CapturedPictures::startMs(int i) const
{
    return i >= 0 && std::size_t(i) < times_.size() ? times_[std::size_t(i)] : 0;
}

std::int64_t CapturedPictures::durationMs(int i, int fixedMs, int unitMs) const
{
    if (std::size_t(i) >= times_.size() || i < 0)
        return fixedMs;
    const std::int64_t unit = std::max(1, unitMs);
    const auto snap = [unit](std::int64_t t) { return (t + unit / 2) / unit * unit; };
    const std::int64_t next = std::size_t(i) + 1 < times_.size() ? times_[std::size_t(i) + 1] : endMs_;
    return snap(next) - snap(times_[std::size_t(i)]);
}

void CapturedPictures::add(const Picture& picture)
{
    if (picture.empty())
        throw std::invalid_argument("an empty picture");
    if (count_ > 0 && (picture.width() != width_ || picture.height() != height_))
        throw std::invalid_argument("a picture of another size than the capture's");
    std::vector<std::uint8_t> pixels(picture.data(), picture.data() + picture.byteSize());
    store_->put(count_, std::move(pixels));
    width_ = picture.width();
    height_ = picture.height();
    ++count_;
}

Picture CapturedPictures::at(int i) const
{
    if (i < 0 || i >= count_)
        throw std::out_of_range("no captured picture " + std::to_string(i));
    const std::vector<std::uint8_t> pixels = store_->get(i);
    Picture picture(width_, height_);
    if (pixels.size() != picture.byteSize())
        throw std::runtime_error("a captured picture came back damaged");
    std::memcpy(picture.data(), pixels.data(), pixels.size());
    return picture;
}

}  // namespace pelko
