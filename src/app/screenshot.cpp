#include "app/screenshot.h"

#include <lodepng.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

bool write_all(int fd, const uint8_t* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

}  // namespace

std::vector<uint8_t> screenshot_image(const uint8_t* frame, int width, int height) {
    const size_t row = static_cast<size_t>(width) * 4u;
    std::vector<uint8_t> image(row * static_cast<size_t>(height));
    for (int r = 0; r < height; ++r) {
        const uint8_t* src = frame + row * static_cast<size_t>(height - 1 - r);
        uint8_t* dst = image.data() + row * static_cast<size_t>(r);
        for (size_t i = 0; i < row; i += 4) {
            dst[i] = src[i];
            dst[i + 1] = src[i + 1];
            dst[i + 2] = src[i + 2];
            dst[i + 3] = 255;
        }
    }
    return image;
}

unsigned encode_screenshot(std::vector<uint8_t>& png, const std::vector<uint8_t>& image,
                           int width, int height) {
    lodepng::State state;
    state.info_raw.colortype = LCT_RGBA;
    state.info_raw.bitdepth = 8;
    state.encoder.zlibsettings.btype = 2;
    state.encoder.zlibsettings.use_lz77 = 1;
    state.encoder.zlibsettings.windowsize = 2048;
    // Alpha is 255 everywhere, so the file leaves it out: always 8-bit RGB.
    // The library's automatic choice would also fall back to grey or a
    // palette for pictures of few colours (a dark view), which we do not
    // want, so the output colour type is given outright.
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = LCT_RGB;
    state.info_png.color.bitdepth = 8;
    state.encoder.force_palette = 0;
    state.encoder.add_id = 1;
    state.encoder.text_compression = 0;
    unsigned error = lodepng_add_text(&state.info_png, "Comment", "Created with LodePNG");
    if (error != 0) return error;
    png.clear();
    return lodepng::encode(png, image, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), state);
}

int claim_screenshot_name(const char* directory, char* path, size_t path_size, int& fd) {
    for (int n = 1; n < INT_MAX; ++n) {
        const int length = std::snprintf(path, path_size, "%s/screenshot%d.png", directory, n);
        if (length < 0 || static_cast<size_t>(length) >= path_size) return 0;
        fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) return n;
        // Anything that exists under the name, readable or not, is taken.
        if (errno != EEXIST) return 0;
    }
    return 0;
}

int save_screenshot(const uint8_t* frame, int width, int height, const char* directory) {
    if (frame == nullptr || width <= 0 || height <= 0) return 0;
    std::vector<uint8_t> png;
    // Encoding before the name is claimed: a failed encode creates no file.
    if (encode_screenshot(png, screenshot_image(frame, width, height), width, height) != 0) {
        return 0;
    }
    char path[4096];
    int fd = -1;
    const int n = claim_screenshot_name(directory, path, sizeof path, fd);
    if (n == 0) return 0;
    const bool written = write_all(fd, png.data(), png.size());
    if (close(fd) != 0 || !written) {
        unlink(path);
        return 0;
    }
    return n;
}
