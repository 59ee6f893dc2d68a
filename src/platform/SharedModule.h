#pragma once

#include <string>

namespace palvina {

// A shared library loaded at run time (dlopen), unloaded when the object goes. Loading by a bare
// file name looks in the program folder first and then lets the system search its usual
// places. Failures are a false result; the loader's message is kept in errorText().
class SharedModule {
public:
    SharedModule() = default;
    ~SharedModule();
    SharedModule(SharedModule&& other) noexcept;
    SharedModule& operator=(SharedModule&& other) noexcept;
    SharedModule(const SharedModule&) = delete;
    SharedModule& operator=(const SharedModule&) = delete;

    // Unloads what is loaded, then loads `name`: a name without '/' from GetAppDir() + name,
    // then by the system's search; a name with '/' from that path only. Symbols are bound now
    // and kept local to the module.
    bool load(const std::string& name);

    // Unloads the module (the handle becomes empty). Nothing happens when none is loaded.
    void unload();

    bool isLoaded() const { return handle_ != nullptr; }

    // The address of the exported symbol, or null when it is missing or nothing is loaded.
    void* symbol(const char* name) const;

    // The loader's message of the last failed load, empty after a successful one.
    const std::string& errorText() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string error_;
};

} // namespace palvina
