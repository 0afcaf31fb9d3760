// Screenshots: the pause screen's still image written as a PNG file named
// "screenshot%d.png" with the first free number. The name is claimed by
// creating the file exclusively, so an existing file is never overwritten
// or truncated, and a failed encode or write leaves no file behind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The picture from a still image of width x height RGBA pixels stored
// bottom row first: top row first, colour unchanged, alpha 255.
std::vector<uint8_t> screenshot_image(const uint8_t* frame, int width, int height);

// Encodes an opaque RGBA picture (top row first) as an 8-bit RGB PNG, not
// interlaced, with a "Comment" text chunk and the library's own. Returns
// LodePNG's error code, 0 on success.
unsigned encode_screenshot(std::vector<uint8_t>& png, const std::vector<uint8_t>& image,
                           int width, int height);

// Creates the first "screenshot%d.png" (n = 1, 2, ...) that does not exist
// in directory, exclusively. Returns n with the open descriptor in fd and
// the path in path, or 0 when no file could be created.
int claim_screenshot_name(const char* directory, char* path, size_t path_size, int& fd);

// Writes the still image to a new screenshot file in directory. Returns the
// number in its name, or 0 when nothing was written.
int save_screenshot(const uint8_t* frame, int width, int height, const char* directory);
