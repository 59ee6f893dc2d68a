#pragma once

#include <cstdint>
#include <string>

namespace palvina {

// What the main window does after one tick of its visit timer.
struct VisitStep {
    bool stopTimer = false;  // disable the timer: this run reports nothing more
    std::string pageUrl;     // counter page to request in the background; empty for none
};

// The install and visit counters, driven by the main window's one-second timer. One minute
// after start, a first run ([App] isIns "0") marks the install as reported and asks for the
// install page; three minutes after start any run asks for the visit page. Both pages carry
// [App] id behind the "?".
class VisitCounter {
public:
    // Counts one second and returns what to do. Reads and writes the settings file; a failed
    // write throws FileWriteError (isIns is written before the page is asked for).
    VisitStep tick();

    std::int32_t ticks() const { return ticks_; }

private:
    std::int32_t ticks_ = 0;
};

} // namespace palvina
