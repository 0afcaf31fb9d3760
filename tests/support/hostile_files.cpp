#include "support/hostile_files.h"

#include <lodepng.h>

#include <map>
#include <random>

namespace {

uint32_t read_be32(const std::string& bytes, size_t pos) {
    return uint32_t(uint8_t(bytes[pos])) << 24 | uint32_t(uint8_t(bytes[pos + 1])) << 16 |
           uint32_t(uint8_t(bytes[pos + 2])) << 8 | uint32_t(uint8_t(bytes[pos + 3]));
}

void write_be32(std::string& bytes, size_t pos, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[pos + i] = static_cast<char>(value >> (24 - 8 * i));
}

// Offset of the first chunk of the given type, or 0 when there is none.
size_t find_chunk(const std::string& png, const char* type) {
    for (size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t length = read_be32(png, pos);
        if (png.compare(pos + 4, 4, type) == 0) return pos;
        pos += 12 + static_cast<size_t>(length);
    }
    return 0;
}

std::string as_string(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

std::string encode_png(const RgbaPicture& picture, int colour_type, int bit_depth) {
    lodepng::State state;
    state.encoder.auto_convert = 0;
    state.info_png.color.colortype = static_cast<LodePNGColorType>(colour_type);
    state.info_png.color.bitdepth = static_cast<unsigned>(bit_depth);
    if (colour_type == LCT_PALETTE) {
        std::map<uint32_t, int> seen;
        for (size_t i = 0; i < picture.rgba.size(); i += 4) {
            const uint8_t* p = &picture.rgba[i];
            const uint32_t key = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
            if (seen.count(key) != 0) continue;
            if (seen.size() == 256) return "";
            seen[key] = 1;
            lodepng_palette_add(&state.info_png.color, p[0], p[1], p[2], p[3]);
            lodepng_palette_add(&state.info_raw, p[0], p[1], p[2], p[3]);
        }
    }
    std::vector<unsigned char> png;
    if (lodepng::encode(png, picture.rgba, picture.width, picture.height, state) != 0) return "";
    return as_string(png);
}

bool decode_png(const std::string& bytes, RgbaPicture& picture) {
    picture.rgba.clear();
    return lodepng::decode(picture.rgba, picture.width, picture.height,
                           reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                           LCT_RGBA, 8) == 0;
}

RgbaPicture test_picture(unsigned width, unsigned height) {
    RgbaPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            uint8_t* p = &picture.rgba[(size_t(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(x * 7 + y);
            p[1] = static_cast<uint8_t>(y * 5 + (x >> 5));
            p[2] = static_cast<uint8_t>(x < width / 2 ? 200 - y : 40 + x);
            p[3] = 255;
        }
    }
    return picture;
}

RgbaPicture few_colour_picture(unsigned width, unsigned height) {
    RgbaPicture picture{width, height, std::vector<uint8_t>(size_t(width) * height * 4)};
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            const unsigned k = (x / 4 + 3 * (y / 4)) % 64;
            uint8_t* p = &picture.rgba[(size_t(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(k * 4);
            p[1] = static_cast<uint8_t>(255 - k * 3);
            p[2] = static_cast<uint8_t>((k * 37) % 256);
            p[3] = 255;
        }
    }
    return picture;
}

void fix_png_checksums(std::string& png) {
    for (size_t pos = 8; pos + 12 <= png.size();) {
        const uint32_t length = read_be32(png, pos);
        if (pos + 12 + length > png.size()) return;
        const uint32_t crc = lodepng_crc32(reinterpret_cast<const unsigned char*>(png.data()) + pos + 4,
                                           length + 4);
        write_be32(png, pos + 8 + length, crc);
        pos += 12 + static_cast<size_t>(length);
    }
}

std::vector<HostileFile> unusable_pngs(const std::string& valid_png) {
    std::vector<HostileFile> files;
    files.push_back({"empty", ""});
    files.push_back({"first half", valid_png.substr(0, valid_png.size() / 2)});
    files.push_back({"cut inside the header", valid_png.substr(0, 20)});

    const size_t idat = find_chunk(valid_png, "IDAT");
    const size_t idat_length = idat != 0 ? read_be32(valid_png, idat) : 0;
    std::string flipped = valid_png;
    if (idat_length > 0) flipped[idat + 8 + idat_length / 2] ^= 0x20;
    files.push_back({"checksum error", flipped});

    // Scrambled past the zlib header, so the checksums hold but the data does
    // not inflate.
    std::string scrambled = valid_png;
    for (size_t i = 2; i < idat_length; i += 7) scrambled[idat + 8 + i] ^= 0x5A;
    fix_png_checksums(scrambled);
    files.push_back({"bad compressed data", scrambled});

    std::string liar = valid_png;
    write_be32(liar, 16, 100000);
    write_be32(liar, 20, 100000);
    fix_png_checksums(liar);
    files.push_back({"header claims 100000 x 100000", liar});

    RgbaPicture wide{16384, 4, std::vector<uint8_t>(16384u * 4u * 4u, 90)};
    files.push_back({"16384 pixels wide", encode_png(wide, LCT_RGB, 8)});

    files.push_back({"text", "not a picture\n"});
    return files;
}

std::string binary_settings(const std::string& head, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes = head;
    for (int i = 0; i < 65536; ++i) bytes += static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string long_line_settings(const std::string& head, const std::string& tail) {
    return head + std::string(1 << 20, 'x') + "\n" + tail;
}

std::string many_line_settings(const std::string& head) {
    std::string text = head;
    int lines = 0;
    for (char c : head) lines += c == '\n';
    for (; lines < 100; ++lines) text += "; filler\n";
    // Keys on every later line, none of which may count.
    for (; lines < 10000; ++lines) text += (lines % 2 == 0) ? "screenw = 900\n" : "screenh=700\n";
    return text;
}
