#pragma once

// GoogleTest before Xlib, whose macros (None, Bool) break its headers.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace palvina::xtest {

// Sets (or, with nullopt, removes) an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, std::optional<std::string> value)
        : name_(name)
    {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Apply(value);
    }
    ~ScopedEnv() { Apply(old_); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    void Apply(const std::optional<std::string>& value)
    {
        if (value) {
            setenv(name_.c_str(), value->c_str(), 1);
        } else {
            unsetenv(name_.c_str());
        }
    }
    std::string name_;
    std::optional<std::string> old_;
};

// The test's own connection to the display; windows made on it go away with it.
class TestDisplay {
public:
    TestDisplay()
        : display_(XOpenDisplay(nullptr))
    {
    }
    ~TestDisplay()
    {
        if (display_) {
            XCloseDisplay(display_);
        }
    }
    TestDisplay(const TestDisplay&) = delete;
    TestDisplay& operator=(const TestDisplay&) = delete;

    Display* get() const { return display_; }
    Window root() const { return DefaultRootWindow(display_); }
    int width() const { return DisplayWidth(display_, DefaultScreen(display_)); }
    int height() const { return DisplayHeight(display_, DefaultScreen(display_)); }

    // A top-level window (or a child of `parent`), not yet mapped.
    Window makeWindow(int x, int y, int width, int height, Window parent = 0) const
    {
        return XCreateSimpleWindow(display_, parent ? parent : root(), x, y, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, 0, WhitePixel(display_, 0));
    }

    void setWindowType(Window window, const char* typeName) const
    {
        const Atom type = XInternAtom(display_, typeName, False);
        XChangeProperty(display_, window, XInternAtom(display_, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                        PropModeReplace, reinterpret_cast<const unsigned char*>(&type), 1);
    }

    // What a window manager puts on the windows it manages: WM_STATE NormalState.
    void setWmState(Window window) const
    {
        const Atom wmState = XInternAtom(display_, "WM_STATE", False);
        const long state[2] = {1, 0};
        XChangeProperty(display_, window, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
    }

    void setClass(Window window, const char* instance, const char* className) const
    {
        XClassHint hint{const_cast<char*>(instance), const_cast<char*>(className)};
        XSetClassHint(display_, window, &hint);
    }

    int mapState(Window window) const
    {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        return attributes.map_state;
    }

    // The pixmap id a root property of type PIXMAP holds, or 0.
    Pixmap rootPixmapProperty(const char* name) const
    {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        Pixmap result = 0;
        if (XGetWindowProperty(display_, root(), XInternAtom(display_, name, False), 0, 1, False, XA_PIXMAP,
                               &type, &format, &items, &after, &data) == Success
            && data && type == XA_PIXMAP && items == 1) {
            result = static_cast<Pixmap>(*reinterpret_cast<unsigned long*>(data));
        }
        if (data) {
            XFree(data);
        }
        return result;
    }

    // The pixels of a drawable (the root window or a pixmap of the root's depth) as 0xRRGGBB,
    // row by row, converted through the default visual's masks.
    std::vector<std::uint32_t> readRgb(Drawable drawable, int width, int height) const
    {
        std::vector<std::uint32_t> pixels;
        XImage* image = XGetImage(display_, drawable, 0, 0, static_cast<unsigned>(width),
                                  static_cast<unsigned>(height), AllPlanes, ZPixmap);
        if (!image) {
            return pixels;
        }
        const Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
        pixels.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const unsigned long pixel = XGetPixel(image, x, y);
                pixels.push_back((Component(pixel, visual->red_mask) << 16)
                                 | (Component(pixel, visual->green_mask) << 8)
                                 | Component(pixel, visual->blue_mask));
            }
        }
        XDestroyImage(image);
        return pixels;
    }

    void warpPointer(int x, int y) const
    {
        XWarpPointer(display_, 0, root(), 0, 0, 0, 0, x, y);
        XSync(display_, False);
    }

private:
    // One colour component scaled to 8 bits.
    static std::uint32_t Component(unsigned long pixel, unsigned long mask)
    {
        if (mask == 0) {
            return 0;
        }
        int shift = 0;
        while (((mask >> shift) & 1UL) == 0) {
            ++shift;
        }
        const unsigned long top = mask >> shift;
        const unsigned long value = (pixel & mask) >> shift;
        return static_cast<std::uint32_t>((value * 255 + top / 2) / top);
    }

    Display* display_;
};

} // namespace palvina::xtest
