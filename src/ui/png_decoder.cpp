#include "ui/png_decoder.h"

#include <png.h>

#include <cstring>

namespace zarvex::ui {
namespace {

constexpr png_uint_32 kMaxSide = 16384;

// Frees libpng's decoding state on every way out.
class PngImage final {
public:
    PngImage() {
        std::memset(&image_, 0, sizeof image_);
        image_.version = PNG_IMAGE_VERSION;
    }
    ~PngImage() { png_image_free(&image_); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
    png_image* operator->() { return &image_; }
    png_image* get() { return &image_; }

private:
    png_image image_;
};

}  // namespace

std::optional<RgbaImage> DecodePng(std::span<const unsigned char> bytes) {
    if (bytes.empty()) {
        return std::nullopt;
    }
    PngImage image;
    if (png_image_begin_read_from_memory(image.get(), bytes.data(), bytes.size()) == 0) {
        return std::nullopt;
    }
    if (image->width == 0 || image->height == 0 || image->width > kMaxSide ||
        image->height > kMaxSide) {
        return std::nullopt;
    }
    image->format = PNG_FORMAT_RGBA;
    RgbaImage result;
    result.width = static_cast<int>(image->width);
    result.height = static_cast<int>(image->height);
    result.pixels.resize(PNG_IMAGE_SIZE(*image.get()));
    if (png_image_finish_read(image.get(), nullptr, result.pixels.data(), 0, nullptr) == 0) {
        return std::nullopt;
    }
    return result;
}

}  // namespace zarvex::ui
