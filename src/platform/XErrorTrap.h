#pragma once

struct _XDisplay;

namespace palvina {

// Catches the X protocol errors of one connection while it lives, instead of Xlib's default
// handler, which ends the process. Errors of other connections go to the handler that was
// installed before. Several traps may be active at once, on different threads.
class XErrorTrap {
public:
    explicit XErrorTrap(_XDisplay* display);
    ~XErrorTrap();
    XErrorTrap(const XErrorTrap&) = delete;
    XErrorTrap& operator=(const XErrorTrap&) = delete;

    // Waits until the server has answered every request sent so far and tells whether any of
    // them failed since the trap was made or last asked; the record is then cleared.
    bool syncAndCheckError();

    // The error code of the first error not yet taken by syncAndCheckError(), or 0.
    int pendingError() const;

private:
    _XDisplay* display_;
};

} // namespace palvina
