#pragma once

// GoogleTest before Xlib, whose macros (None, Bool) break its headers.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <dlfcn.h>

namespace palvina::xtest {

// What the X server holds for all its clients, read through the X-Resource extension. The
// library is opened at run time when it is installed (libXRes.so.1); `known` is false when it
// or the extension is missing.
struct XServerUsage {
    bool known = false;
    int clients = 0;                 // live and retained clients
    unsigned long pixmapBytes = 0;   // pixmap memory charged to all of them
};

inline XServerUsage MeasureXServerUsage(Display* display)
{
    struct ClientIds {
        XID base;
        XID mask;
    };
    using QueryExtension = Bool (*)(Display*, int*, int*);
    using QueryClients = Status (*)(Display*, int*, ClientIds**);
    using QueryPixmapBytes = Status (*)(Display*, XID, unsigned long*);

    XServerUsage usage;
    void* library = dlopen("libXRes.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return usage;
    }
    auto queryExtension = reinterpret_cast<QueryExtension>(dlsym(library, "XResQueryExtension"));
    auto queryClients = reinterpret_cast<QueryClients>(dlsym(library, "XResQueryClients"));
    auto queryPixmapBytes = reinterpret_cast<QueryPixmapBytes>(dlsym(library, "XResQueryClientPixmapBytes"));
    int eventBase = 0;
    int errorBase = 0;
    ClientIds* clients = nullptr;
    int count = 0;
    if (queryExtension && queryClients && queryPixmapBytes && queryExtension(display, &eventBase, &errorBase)
        && queryClients(display, &count, &clients)) {
        usage.known = true;
        usage.clients = count;
        for (int i = 0; i < count; ++i) {
            unsigned long bytes = 0;
            if (queryPixmapBytes(display, clients[i].base, &bytes)) {
                usage.pixmapBytes += bytes;
            }
        }
        XFree(clients);
    }
    // Xlib keeps the extension's hooks on the display: the library stays loaded.
    return usage;
}

} // namespace palvina::xtest
