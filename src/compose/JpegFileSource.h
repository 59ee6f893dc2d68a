#pragma once

#include <cstdio>

#include <jpeglib.h>

namespace palvina {

// Makes libjpeg read its input from an open file descriptor in 64 KB blocks, so a file is never
// held whole in memory. The buffer comes from libjpeg's own pool and goes with the decoder; the
// descriptor stays the caller's. A read error is a libjpeg error; the end of the file behaves as
// with libjpeg's stdio source (a warning and a made-up end marker).
void UseJpegFileSource(j_decompress_ptr cinfo, int fd);

} // namespace palvina
