#include "platform/XWindowQueries.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstddef>
#include <deque>

namespace palvina {

namespace {

// How far below a top-level window WM_STATE is looked for; frames nest only a few levels.
constexpr int kClientSearchDepth = 4;

std::vector<Window> ChildrenOf(Display* display, Window window)
{
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0 && children) {
        result.assign(children, children + count);
    }
    if (children) {
        XFree(children);
    }
    return result;
}

bool HasProperty(Display* display, Window window, Atom property)
{
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType,
                                          &type, &format, &items, &after, &data);
    if (data) {
        XFree(data);
    }
    return status == Success && type != 0;
}

} // namespace

unsigned long FindClientWindow(_XDisplay* display, unsigned long window)
{
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    struct Level {
        Window window;
        int depth;
    };
    std::deque<Level> queue{{window, 0}};
    while (!queue.empty()) {
        const Level level = queue.front();
        queue.pop_front();
        if (HasProperty(display, level.window, wmState)) {
            return level.window;
        }
        if (level.depth < kClientSearchDepth) {
            for (Window child : ChildrenOf(display, level.window)) {
                queue.push_back({child, level.depth + 1});
            }
        }
    }
    return window;
}

bool HasDesktopWindowType(_XDisplay* display, unsigned long window)
{
    const Atom typeProperty = XInternAtom(display, "_NET_WM_WINDOW_TYPE", False);
    const Atom desktopType = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DESKTOP", False);
    Atom type = 0;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, typeProperty, 0, 64, False, XA_ATOM,
                                          &type, &format, &items, &after, &data);
    bool found = false;
    if (status == Success && data && type == XA_ATOM && format == 32) {
        // Xlib hands 32-bit items over as longs.
        const auto* atoms = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long i = 0; i < items && !found; ++i) {
            found = atoms[i] == desktopType;
        }
    }
    if (data) {
        XFree(data);
    }
    return found;
}

std::vector<unsigned long> FindDesktopTypeWindows(_XDisplay* display)
{
    std::vector<unsigned long> result;
    for (Window topLevel : ChildrenOf(display, DefaultRootWindow(display))) {
        const Window client = FindClientWindow(display, topLevel);
        if (HasDesktopWindowType(display, client)) {
            result.push_back(client);
        }
    }
    return result;
}

WindowClass ReadWindowClass(_XDisplay* display, unsigned long window)
{
    WindowClass result;
    XClassHint hint{nullptr, nullptr};
    if (XGetClassHint(display, window, &hint) != 0) {
        if (hint.res_name) {
            result.instance = hint.res_name;
        }
        if (hint.res_class) {
            result.className = hint.res_class;
        }
    }
    if (hint.res_name) {
        XFree(hint.res_name);
    }
    if (hint.res_class) {
        XFree(hint.res_class);
    }
    return result;
}

} // namespace palvina
