// Hostile input files made at test time: broken and unusual PNGs for the two
// art files, and settings files no editor would write. Shared by the
// in-process loader tests and the end-to-end runs of the real binary.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A file's name (for messages) and its bytes.
struct HostileFile {
    std::string name;
    std::string bytes;
};

// An RGBA picture, rows top first.
struct RgbaPicture {
    unsigned width = 0, height = 0;
    std::vector<uint8_t> rgba;
};

// Encodes picture as a PNG of exactly the given colour type (LodePNG's
// LodePNGColorType values: 0 grey, 2 RGB, 3 palette, 4 grey with alpha,
// 6 RGBA) and bit depth. For a palette the picture may hold at most 256
// colours. Empty when LodePNG refuses.
std::string encode_png(const RgbaPicture& picture, int colour_type, int bit_depth);

// Decodes PNG bytes to 8-bit RGBA (16-bit channels keep their high byte);
// false when they are not a valid PNG.
bool decode_png(const std::string& bytes, RgbaPicture& picture);

// A picture with every pixel different from its neighbours and from its
// mirror images, so swapped channels, rows or columns show.
RgbaPicture test_picture(unsigned width, unsigned height);
// The same with at most 64 colours, for palette images.
RgbaPicture few_colour_picture(unsigned width, unsigned height);

// Files that are not a usable PNG, each made from valid_png where it needs
// one: empty; cut to its first half; cut inside the header; one byte of the
// image data flipped (checksum error); image data scrambled with the
// checksums made right again (decompression error); a header claiming
// 100000 x 100000 pixels; a real image 16384 pixels wide, one more than SDL
// accepts; plain text.
std::vector<HostileFile> unusable_pngs(const std::string& valid_png);

// Sets every chunk's CRC right again after a test has edited the bytes.
void fix_png_checksums(std::string& png);

// Settings files, each starting with head (a few key lines) so that what
// was read shows in the window's size: head and 64 KB of seeded random
// bytes, NULs included; head, a line of a megabyte, then tail (which the
// reader never reaches); head filled up to 100 lines and then 9,900 more
// lines that set the size again (and are never read).
std::string binary_settings(const std::string& head, unsigned seed);
std::string long_line_settings(const std::string& head, const std::string& tail);
std::string many_line_settings(const std::string& head);
