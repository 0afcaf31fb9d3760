#include "zlib.h"

#include <lodepng.h>

#include <cstdlib>
#include <cstring>

int deflateInit2(z_stream* stream, int, int, int, int, int) {
    *stream = z_stream{};
    return Z_OK;
}

uLong deflateBound(z_stream*, uLong source_length) {
    // LodePNG writes dynamic Huffman blocks only, which on incompressible
    // data grow past zlib's own bound: allow for codes of up to 15 bits.
    return source_length * 2 + 1024;
}

int deflate(z_stream* stream, int flush) {
    if (flush != Z_FINISH) return Z_STREAM_ERROR;
    LodePNGCompressSettings settings;
    lodepng_compress_settings_init(&settings);
    settings.windowsize = 2048;
    unsigned char* bytes = nullptr;
    size_t size = 0;
    const unsigned error =
        lodepng_zlib_compress(&bytes, &size, stream->next_in, stream->avail_in, &settings);
    int result = Z_STREAM_END;
    if (error != 0) result = Z_STREAM_ERROR;
    else if (size > stream->avail_out) result = Z_BUF_ERROR;
    else {
        std::memcpy(stream->next_out, bytes, size);
        stream->next_in += stream->avail_in;
        stream->avail_in = 0;
        stream->next_out += size;
        stream->avail_out -= static_cast<uInt>(size);
        stream->total_out += size;
    }
    std::free(bytes);
    return result;
}

int deflateEnd(z_stream*) { return Z_OK; }
