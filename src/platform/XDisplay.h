#pragma once

struct _XDisplay;

namespace palvina {

// A connection of its own to the X display named by DISPLAY, closed when this goes away.
// Xlib stays out of the header: its macros (None, Bool, Status...) clash with our names.
class XDisplay {
public:
    // Opens the connection; check with isOpen() (there may be no display at all).
    XDisplay();
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool isOpen() const { return display_ != nullptr; }
    _XDisplay* get() const { return display_; }

private:
    _XDisplay* display_ = nullptr;
};

} // namespace palvina
