#include "app/screenshot.h"

#include <zlib.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// Windows writes files in text mode unless told otherwise, which would turn
// every 0A byte of the PNG into 0D 0A; its close-on-exec is _O_NOINHERIT.
#ifndef O_BINARY
#define O_BINARY 0
#endif
#ifndef O_CLOEXEC
#define O_CLOEXEC _O_NOINHERIT
#endif

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
    const size_t columns = static_cast<size_t>(width);
    std::vector<uint8_t> image(columns * 3u * static_cast<size_t>(height));
    for (int r = 0; r < height; ++r) {
        const uint8_t* src = frame + columns * 4u * static_cast<size_t>(height - 1 - r);
        uint8_t* dst = image.data() + columns * 3u * static_cast<size_t>(r);
        for (size_t i = 0; i < columns; ++i) {
            dst[3 * i] = src[4 * i];
            dst[3 * i + 1] = src[4 * i + 1];
            dst[3 * i + 2] = src[4 * i + 2];
        }
    }
    return image;
}

unsigned screenshot_zlib(unsigned char** out, size_t* out_size, const unsigned char* data,
                         size_t size, const LodePNGCompressSettings*) {
    *out = nullptr;
    *out_size = 0;
    if (static_cast<size_t>(static_cast<uInt>(size)) != size) return 1;
    z_stream stream{};
    // Run-length matches only: on rows filtered by their left neighbour they
    // find nearly all a full search would, in a fraction of the time.
    if (deflateInit2(&stream, Z_BEST_SPEED, Z_DEFLATED, 15, 8, Z_RLE) != Z_OK) return 1;
    const uLong bound = deflateBound(&stream, static_cast<uLong>(size));
    unsigned char* bytes = static_cast<unsigned char*>(std::malloc(bound));
    if (bytes == nullptr) {
        deflateEnd(&stream);
        return 1;
    }
    stream.next_in = const_cast<Bytef*>(data);
    stream.avail_in = static_cast<uInt>(size);
    stream.next_out = bytes;
    stream.avail_out = static_cast<uInt>(bound);
    const int result = deflate(&stream, Z_FINISH);
    const size_t length = stream.total_out;
    deflateEnd(&stream);
    if (result != Z_STREAM_END) {
        std::free(bytes);
        return 1;
    }
    *out = bytes;
    *out_size = length;
    return 0;
}

unsigned set_screenshot_encoding(lodepng::State& state) {
    state.info_raw.colortype = LCT_RGB;
    state.info_raw.bitdepth = 8;
    // The file is always 8-bit RGB. The library's automatic choice would
    // also fall back to grey or a palette for pictures of few colours (a
    // dark view), which we do not want, so the colour type is given outright.
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = LCT_RGB;
    state.info_png.color.bitdepth = 8;
    state.encoder.force_palette = 0;
    state.encoder.add_id = 1;
    state.encoder.text_compression = 0;
    // Every row filtered by its left neighbour: choosing a filter per row
    // cost more than the whole compression, and the file comes out about as
    // small.
    state.encoder.filter_strategy = LFS_ONE;
    state.encoder.zlibsettings.custom_zlib = screenshot_zlib;
    return lodepng_add_text(&state.info_png, "Comment", "Created with LodePNG");
}

unsigned encode_screenshot(std::vector<uint8_t>& png, const std::vector<uint8_t>& image,
                           int width, int height) {
    lodepng::State state;
    const unsigned error = set_screenshot_encoding(state);
    if (error != 0) return error;
    png.clear();
    return lodepng::encode(png, image, static_cast<unsigned>(width),
                           static_cast<unsigned>(height), state);
}

int claim_screenshot_name(const char* directory, char* path, size_t path_size, int& fd) {
    for (int n = 1; n < INT_MAX; ++n) {
        const int length = std::snprintf(path, path_size, "%s/screenshot%d.png", directory, n);
        if (length < 0 || static_cast<size_t>(length) >= path_size) return 0;
        fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_BINARY, 0644);
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
