#include "engine/capture/captured_pictures.h"

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
      besidePath_((scratchFolder.empty() ? temporaryFolder() : scratchFolder) + "/capture")
{
    clear();
}

CapturedPictures::~CapturedPictures() = default;

void CapturedPictures::clear()
{
    store_ = std::make_unique<FramePixelStore>(besidePath_, budget_);
    count_ = width_ = height_ = 0;
}

void CapturedPictures::add(const Picture& picture)
{
    if (picture.empty())
        throw std::invalid_argument("an empty picture");
    if (count_ > 0 && (picture.width() != width_ || picture.height() != height_))
        throw std::invalid_argument("a picture of another size than the capture's");
    std::vector<std::uint8_t> pixels(picture.data(), picture.data() + picture.byteSize());
    std::vector<std::uint8_t> packed;
    if (!store_->keepsInMemory(pixels.size()))
        packed = FramePixelStore::pack(pixels);
    store_->put(count_, std::move(pixels), std::move(packed));
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
