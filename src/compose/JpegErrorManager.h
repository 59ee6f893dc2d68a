#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace palvina {

// libjpeg's error manager extended with a jump target: instead of ending the process, a fatal
// error (and scan data that ends while pixels are still wanted) formats its message into
// `message` and jumps back to `jump`. Plain data only, so it may live between setjmp and the
// library calls.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    // Set by the caller once every wanted row is read: damage after that is harmless.
    bool allRowsRead;
};

// Sets up `manager` and returns the pointer to store in cinfo.err.
jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager& manager);

// Ends the current libjpeg call with a printf-formatted error message, as the library's own
// errors do (from our checks between library calls, or from a callback such as a progress monitor).
[[noreturn]] void FailJpeg(j_common_ptr cinfo, const char* format, ...) __attribute__((format(printf, 2, 3)));

} // namespace palvina
