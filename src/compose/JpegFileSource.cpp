#include "compose/JpegFileSource.h"

#include <cerrno>
#include <unistd.h>

#include <jerror.h>

namespace palvina {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

struct FileSource {
    jpeg_source_mgr pub;
    int fd;
    JOCTET* buffer;
    bool startOfFile;
};

FileSource* SourceOf(j_decompress_ptr cinfo)
{
    // pub is the first member.
    return reinterpret_cast<FileSource*>(cinfo->src);
}

void InitSource(j_decompress_ptr cinfo)
{
    SourceOf(cinfo)->startOfFile = true;
}

boolean FillInputBuffer(j_decompress_ptr cinfo)
{
    FileSource* src = SourceOf(cinfo);
    ssize_t n;
    do {
        n = ::read(src->fd, src->buffer, kBlockBytes);
    } while (n < 0 && errno == EINTR);
    if (n < 0) {
        ERREXIT(cinfo, JERR_FILE_READ);
    }
    if (n == 0) {
        if (src->startOfFile) {
            ERREXIT(cinfo, JERR_INPUT_EMPTY);
        }
        WARNMS(cinfo, JWRN_JPEG_EOF);
        src->buffer[0] = 0xFF;
        src->buffer[1] = JPEG_EOI;
        n = 2;
    }
    src->pub.next_input_byte = src->buffer;
    src->pub.bytes_in_buffer = static_cast<std::size_t>(n);
    src->startOfFile = false;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count)
{
    if (count <= 0) {
        return;
    }
    FileSource* src = SourceOf(cinfo);
    auto remaining = static_cast<std::size_t>(count);
    while (remaining > src->pub.bytes_in_buffer) {
        remaining -= src->pub.bytes_in_buffer;
        FillInputBuffer(cinfo);
    }
    src->pub.next_input_byte += remaining;
    src->pub.bytes_in_buffer -= remaining;
}

void TermSource(j_decompress_ptr) {}

} // namespace

void UseJpegFileSource(j_decompress_ptr cinfo, int fd)
{
    auto common = reinterpret_cast<j_common_ptr>(cinfo);
    auto* src = static_cast<FileSource*>((*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, sizeof(FileSource)));
    src->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(common, JPOOL_PERMANENT, kBlockBytes));
    src->fd = fd;
    src->startOfFile = true;
    src->pub.init_source = InitSource;
    src->pub.fill_input_buffer = FillInputBuffer;
    src->pub.skip_input_data = SkipInputData;
    src->pub.resync_to_restart = jpeg_resync_to_restart;
    src->pub.term_source = TermSource;
    src->pub.bytes_in_buffer = 0;
    src->pub.next_input_byte = nullptr;
    cinfo->src = &src->pub;
}

} // namespace palvina
