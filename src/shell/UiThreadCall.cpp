#include "shell/UiThreadCall.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace palvina {

namespace {

// How long a waiting caller sleeps before it looks at its give-up conditions again.
constexpr std::chrono::milliseconds kWaitSlice(50);

enum CallState { kPending, kRunning, kAbandoned };

// Shared by the waiting caller and the posted call, so that neither depends on the other's
// lifetime.
struct PendingCall {
    std::function<void()> call;
    std::atomic<int> state{kPending};
    std::mutex mutex;
    std::condition_variable finishedChanged;
    bool finished = false;  // guarded by mutex
    bool ok = false;        // guarded by mutex
};

// Once the application has begun to quit, posted calls may never be processed. The watch is
// tied to one application object and set up as the object is created, so that an end before
// the first call is seen too; a new application object starts with a fresh watch.
std::mutex watchMutex;
QCoreApplication* watchedApp = nullptr;
std::atomic<bool> appQuitting{false};

void WatchApplication()
{
    QCoreApplication* app = QCoreApplication::instance();
    std::lock_guard lock(watchMutex);
    if (!app || watchedApp == app) {
        return;
    }
    watchedApp = app;
    appQuitting = false;
    QObject::connect(app, &QCoreApplication::aboutToQuit, [] { appQuitting = true; });
    QObject::connect(app, &QObject::destroyed, [] {
        std::lock_guard inner(watchMutex);
        watchedApp = nullptr;
        appQuitting = true;
    });
}

QCoreApplication* LiveApplication()
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QCoreApplication::closingDown()) {
        return nullptr;
    }
    WatchApplication();
    return appQuitting ? nullptr : app;
}

bool StillServing(QCoreApplication* app)
{
    return QCoreApplication::instance() == app && !QCoreApplication::closingDown() && !appQuitting;
}

bool RunGuarded(const std::function<void()>& call)
{
    try {
        call();
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchApplication)

bool IsUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

bool CallOnUiThreadAndWait(std::function<void()> call, const std::atomic<bool>* giveUp)
{
    QCoreApplication* const app = QCoreApplication::instance();
    if (!call || !app || QCoreApplication::closingDown()) {
        return false;
    }
    if (QThread::currentThread() == app->thread()) {
        return RunGuarded(call);
    }
    if (LiveApplication() != app) {
        return false;
    }

    auto pending = std::make_shared<PendingCall>();
    pending->call = std::move(call);
    QMetaObject::invokeMethod(
        app,
        [pending] {
            int expected = kPending;
            if (!pending->state.compare_exchange_strong(expected, kRunning)) {
                return;  // the caller gave up before the call could start
            }
            const bool ok = RunGuarded(pending->call);
            pending->call = nullptr;
            std::lock_guard lock(pending->mutex);
            pending->ok = ok;
            pending->finished = true;
            pending->finishedChanged.notify_all();
        },
        Qt::QueuedConnection);

    std::unique_lock lock(pending->mutex);
    while (!pending->finishedChanged.wait_for(lock, kWaitSlice, [&] { return pending->finished; })) {
        if ((giveUp && giveUp->load()) || !StillServing(app)) {
            int expected = kPending;
            pending->state.compare_exchange_strong(expected, kAbandoned);
            return false;
        }
    }
    return pending->ok;
}

bool HasWidgetApplication()
{
    return qobject_cast<QApplication*>(QCoreApplication::instance()) != nullptr;
}

void PresentOnUiThread(std::function<void()> present)
{
    if (!QCoreApplication::instance()) {
        present();
        return;
    }
    CallOnUiThreadAndWait(std::move(present));
}

} // namespace palvina
