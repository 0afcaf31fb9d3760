// Screenshots: the pause screen's still image written as a PNG file named
// "screenshot%d.png" with the first free number. The name is claimed by
// creating the file exclusively, so an existing file is never overwritten
// or truncated, and a failed encode or write leaves no file behind.
#pragma once

#include <lodepng.h>

#include <cstddef>
#include <cstdint>
#include <vector>

// The picture from a still image of width x height RGBA pixels stored
// bottom row first: 8-bit RGB, top row first, colour unchanged.
std::vector<uint8_t> screenshot_image(const uint8_t* frame, int width, int height);

// Sets up LodePNG for a screenshot: 8-bit RGB in and out, not
// interlaced, a "Comment" text chunk and the library's own, the deflate
// stream made by zlib. Returns LodePNG's error code, 0 on success.
unsigned set_screenshot_encoding(lodepng::State& state);

// The zlib stream of data for LodePNG's custom_zlib hook, in memory from
// malloc (LodePNG frees it). Returns 0 on success.
unsigned screenshot_zlib(unsigned char** out, size_t* out_size, const unsigned char* data,
                         size_t size, const LodePNGCompressSettings* settings);

// Encodes an RGB picture (top row first) with the settings above.
// Returns LodePNG's error code, 0 on success.
unsigned encode_screenshot(std::vector<uint8_t>& png, const std::vector<uint8_t>& image,
                           int width, int height);

// Creates the first "screenshot%d.png" (n = 1, 2, ...) that does not exist
// in directory, exclusively. Returns n with the open descriptor in fd and
// the path in path, or 0 when no file could be created.
int claim_screenshot_name(const char* directory, char* path, size_t path_size, int& fd);

// Writes the still image to a new screenshot file in directory. Returns the
// number in its name, or 0 when nothing was written.
int save_screenshot(const uint8_t* frame, int width, int height, const char* directory);
