#include "platform/SharedModule.h"

#include "files/AppDir.h"

#include <dlfcn.h>
#include <utility>

namespace palvina {

namespace {

void* Open(const std::string& path, std::string& error)
{
    dlerror(); // forget a message left by an earlier call
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* message = dlerror();
        error = message ? message : ("cannot load " + path);
    }
    return handle;
}

} // namespace

SharedModule::~SharedModule()
{
    unload();
}

SharedModule::SharedModule(SharedModule&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), error_(std::move(other.error_))
{
}

SharedModule& SharedModule::operator=(SharedModule&& other) noexcept
{
    if (this != &other) {
        unload();
        handle_ = std::exchange(other.handle_, nullptr);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool SharedModule::load(const std::string& name)
{
    unload();
    error_.clear();
    if (name.empty()) {
        error_ = "no module name";
        return false;
    }
    if (name.find('/') != std::string::npos) {
        handle_ = Open(name, error_);
        return handle_ != nullptr;
    }
    std::string firstError;
    handle_ = Open(GetAppDir() + name, firstError);
    if (!handle_) {
        handle_ = Open(name, error_);
        if (!handle_) {
            // The program folder's message tells more when the file is there but broken.
            error_ = firstError + "; " + error_;
        }
    }
    if (handle_) {
        error_.clear();
    }
    return handle_ != nullptr;
}

void SharedModule::unload()
{
    if (handle_) {
        dlclose(std::exchange(handle_, nullptr));
    }
}

void* SharedModule::symbol(const char* name) const
{
    if (!handle_ || !name) {
        return nullptr;
    }
    return dlsym(handle_, name);
}

} // namespace palvina
