#include "platform/XErrorTrap.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <mutex>
#include <utility>
#include <vector>

namespace palvina {

namespace {

struct TrapRecord {
    Display* display;
    int error;
};

using ErrorHandler = int (*)(Display*, XErrorEvent*);

std::mutex& TrapMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Guarded by TrapMutex().
std::vector<TrapRecord>& Traps()
{
    static std::vector<TrapRecord> traps;
    return traps;
}
ErrorHandler g_previousHandler = nullptr;

int TrapHandler(Display* display, XErrorEvent* event)
{
    ErrorHandler previous = nullptr;
    {
        std::lock_guard lock(TrapMutex());
        for (TrapRecord& trap : Traps()) {
            if (trap.display == display) {
                if (trap.error == 0) {
                    trap.error = event->error_code;
                }
                return 0;
            }
        }
        previous = g_previousHandler;
    }
    return previous ? previous(display, event) : 0;
}

} // namespace

XErrorTrap::XErrorTrap(_XDisplay* display)
    : display_(display)
{
    std::lock_guard lock(TrapMutex());
    if (Traps().empty()) {
        g_previousHandler = XSetErrorHandler(TrapHandler);
    }
    Traps().push_back({display_, 0});
}

XErrorTrap::~XErrorTrap()
{
    XSync(display_, False);
    std::lock_guard lock(TrapMutex());
    std::vector<TrapRecord>& traps = Traps();
    auto it = std::find_if(traps.begin(), traps.end(),
                           [this](const TrapRecord& trap) { return trap.display == display_; });
    if (it != traps.end()) {
        traps.erase(it);
    }
    if (traps.empty()) {
        // Give the handler back unless somebody replaced ours in the meantime.
        ErrorHandler current = XSetErrorHandler(g_previousHandler);
        if (current != TrapHandler) {
            XSetErrorHandler(current);
        }
        g_previousHandler = nullptr;
    }
}

bool XErrorTrap::syncAndCheckError()
{
    XSync(display_, False);
    std::lock_guard lock(TrapMutex());
    for (TrapRecord& trap : Traps()) {
        if (trap.display == display_) {
            return std::exchange(trap.error, 0) != 0;
        }
    }
    return false;
}

int XErrorTrap::pendingError() const
{
    std::lock_guard lock(TrapMutex());
    for (const TrapRecord& trap : Traps()) {
        if (trap.display == display_) {
            return trap.error;
        }
    }
    return 0;
}

} // namespace palvina
