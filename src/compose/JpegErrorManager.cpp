#include "compose/JpegErrorManager.h"

#include <cstdarg>
#include <cstring>

#include <jerror.h>

namespace palvina {

namespace {

JpegErrorManager* ManagerOf(j_common_ptr cinfo)
{
    // pub is the first member, so the library's pointer is the manager's address.
    return reinterpret_cast<JpegErrorManager*>(cinfo->err);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    JpegErrorManager* manager = ManagerOf(cinfo);
    (*cinfo->err->format_message)(cinfo, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings are ignored (libjpeg recovers from them), except a scan whose data ends before the
// picture does (a cut-off file): the rest would be made-up gray. A file that only lacks its end
// marker is fine: libjpeg then warns of the early end of the file, not of the scan.
void EmitMessage(j_common_ptr cinfo, int level)
{
    JpegErrorManager* manager = ManagerOf(cinfo);
    if (level < 0) {
        ++cinfo->err->num_warnings;
        if (cinfo->err->msg_code == JWRN_HIT_MARKER && !manager->allRowsRead) {
            ErrorExit(cinfo);
        }
    }
}

void OutputMessage(j_common_ptr) {}

} // namespace

jpeg_error_mgr* InitJpegErrorManager(JpegErrorManager& manager)
{
    std::memset(&manager, 0, sizeof manager);
    jpeg_std_error(&manager.pub);
    manager.pub.error_exit = ErrorExit;
    manager.pub.emit_message = EmitMessage;
    manager.pub.output_message = OutputMessage;
    return &manager.pub;
}

void FailJpeg(j_common_ptr cinfo, const char* format, ...)
{
    JpegErrorManager* manager = ManagerOf(cinfo);
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(manager->message, sizeof manager->message, format, args);
    va_end(args);
    std::longjmp(manager->jump, 1);
}

} // namespace palvina
