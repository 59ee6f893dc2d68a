#pragma once

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <dlfcn.h>
#include <string>

namespace palvina::test {

inline const char* const kFennickPath = PALVINA_APP_DIR "/Fennick.so";
inline const char* const kCaptionWindowName = "FennickCaptionWindow";

// The built companion module, loaded the way a host loads it, with its three entry points.
class FennickHost {
public:
    FennickHost() : handle_(dlopen(kFennickPath, RTLD_NOW | RTLD_LOCAL))
    {
        if (!handle_) {
            const char* message = dlerror();
            error_ = message ? message : "dlopen failed";
            return;
        }
        showForm_ = reinterpret_cast<void (*)(void*)>(dlsym(handle_, "ShowForm"));
        closeForm_ = reinterpret_cast<void (*)()>(dlsym(handle_, "CloseForm"));
        readImgAd_ = reinterpret_cast<void (*)(const char*)>(dlsym(handle_, "ReadImgAd"));
    }
    ~FennickHost()
    {
        if (closeForm_) {
            closeForm_();
        }
        unload();
    }
    FennickHost(const FennickHost&) = delete;
    FennickHost& operator=(const FennickHost&) = delete;

    bool complete() const { return handle_ && showForm_ && closeForm_ && readImgAd_; }
    const std::string& error() const { return error_; }

    void showForm(void* application) { showForm_(application); }
    void closeForm() { closeForm_(); }
    void readImgAd(const char* gbkPath) { readImgAd_(gbkPath); }

    void unload()
    {
        if (handle_) {
            dlclose(handle_);
        }
        handle_ = nullptr;
        showForm_ = nullptr;
        closeForm_ = nullptr;
        readImgAd_ = nullptr;
    }

private:
    void* handle_ = nullptr;
    std::string error_;
    void (*showForm_)(void*) = nullptr;
    void (*closeForm_)() = nullptr;
    void (*readImgAd_)(const char*) = nullptr;
};

inline int CountCaptionWindows()
{
    int count = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        count += window->objectName() == QLatin1String(kCaptionWindowName) ? 1 : 0;
    }
    return count;
}

inline QWidget* FindCaptionWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String(kCaptionWindowName)) {
            return window;
        }
    }
    return nullptr;
}

inline QLabel* CaptionLabel(QWidget* window, const char* name)
{
    return window ? window->findChild<QLabel*>(QLatin1String(name)) : nullptr;
}

} // namespace palvina::test
