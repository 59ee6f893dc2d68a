#pragma once

#include <atomic>
#include <functional>

namespace palvina {

// Runs `call` on the application object's thread (the UI thread) and waits until it has run.
// From the UI thread itself the call runs at once. From any other thread it is posted to the
// UI thread's event loop, and the caller waits in short slices so that it notices when to
// stop: it gives up once *giveUp becomes true, or once the application quits, is being
// destroyed or does not exist. A call that has not started when its caller gives up never
// runs; one that has started finishes on its own. Capture by value what the call uses: a
// started call may outlive its caller's wait.
// Returns true when the call ran to its end; false when the caller gave up or there is no
// application, and when the call threw: the exception is swallowed on the UI thread, since
// no exception may leave an event handler there.
bool CallOnUiThreadAndWait(std::function<void()> call, const std::atomic<bool>* giveUp = nullptr);

// True when there is an application object and the calling thread is its thread.
bool IsUiThread();

// True when the application object is a QApplication, so message boxes can be shown.
bool HasWidgetApplication();

// Runs `present` (a message box, a test's handler) on the UI thread while the caller waits;
// without any application object it runs at once on the calling thread.
void PresentOnUiThread(std::function<void()> present);

} // namespace palvina
