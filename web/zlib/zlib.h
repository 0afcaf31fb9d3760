// The browser build's zlib: the part of zlib's deflate interface that the
// screenshot writer uses, made by LodePNG's compressor (zlib_lodepng.cpp).
// One deflate call with Z_FINISH compresses the whole input; the level,
// window and strategy asked for are not LodePNG's to take, so the stream is
// made with LodePNG's settings for a window of 2048.
#pragma once

#include <cstddef>

typedef unsigned char Bytef;
typedef unsigned int uInt;
typedef unsigned long uLong;

struct z_stream {
    const Bytef* next_in = nullptr;
    uInt avail_in = 0;
    Bytef* next_out = nullptr;
    uInt avail_out = 0;
    uLong total_out = 0;
};

constexpr int Z_OK = 0;
constexpr int Z_STREAM_END = 1;
constexpr int Z_STREAM_ERROR = -2;
constexpr int Z_BUF_ERROR = -5;
constexpr int Z_FINISH = 4;
constexpr int Z_BEST_SPEED = 1;
constexpr int Z_DEFLATED = 8;
constexpr int Z_RLE = 3;

int deflateInit2(z_stream* stream, int level, int method, int window_bits, int mem_level,
                 int strategy);
// At least as many bytes as deflate can make of source_length bytes.
uLong deflateBound(z_stream* stream, uLong source_length);
// Only Z_FINISH: the whole input in one call, Z_STREAM_END when it fitted.
int deflate(z_stream* stream, int flush);
int deflateEnd(z_stream* stream);
