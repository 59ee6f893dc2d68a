#pragma once

#include "platform/SessionBusNames.h"

#include "ProcessSupport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace palvina::test {

// Where Debian and others install Xfce's settings daemon; empty when it is not installed.
inline std::string FindXfconfd()
{
    for (const char* candidate : {"/usr/lib/x86_64-linux-gnu/xfce4/xfconf/xfconfd", "/usr/lib/xfce4/xfconf/xfconfd",
                                  "/usr/libexec/xfconfd", "/usr/lib/xfconf/xfconfd"}) {
        if (ProgramAvailable(candidate)) {
            return candidate;
        }
    }
    return "";
}

inline bool BusNameOwned(const std::string& name)
{
    const std::vector<std::string> names = ListSessionBusNames();
    return std::find(names.begin(), names.end(), name) != names.end();
}

// xfconfd of our own on the test's session bus, keeping its files under `configHome`. Started
// before anything asks for org.xfce.Xfconf, so the bus never starts one of its own.
class XfconfDaemon {
public:
    explicit XfconfDaemon(const std::string& configHome)
    {
        const std::string program = FindXfconfd();
        if (program.empty() || BusNameOwned("org.xfce.Xfconf")) {
            return;
        }
        process_ = std::make_unique<BackgroundProgram>(std::vector<std::string>{program},
                                                       std::map<std::string, std::optional<std::string>>{
                                                           {"XDG_CONFIG_HOME", configHome}});
        ready_ = WaitUntil([] { return BusNameOwned("org.xfce.Xfconf"); });
    }
    ~XfconfDaemon()
    {
        if (process_) {
            process_->stop();
            // The next test's daemon needs the name free.
            WaitUntil([] { return !BusNameOwned("org.xfce.Xfconf"); }, std::chrono::seconds(5));
        }
    }
    XfconfDaemon(const XfconfDaemon&) = delete;
    XfconfDaemon& operator=(const XfconfDaemon&) = delete;

    bool ready() const { return ready_; }

private:
    std::unique_ptr<BackgroundProgram> process_;
    bool ready_ = false;
};

// xfconf-query's view of a property of "xfce4-desktop" (trimmed), or nullopt when it has none.
inline std::optional<std::string> XfconfQuery(const std::string& property)
{
    const ProgramResult result = RunProgramForOutput({"xfconf-query", "-c", "xfce4-desktop", "-p", property});
    if (result.status != 0) {
        return std::nullopt;
    }
    std::string text = result.output;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) {
        text.pop_back();
    }
    return text;
}

// Creates or sets a property with xfconf-query; `type` as xfconf-query names it ("string", "int").
inline bool XfconfSet(const std::string& property, const std::string& type, const std::string& value)
{
    return RunProgramForOutput({"xfconf-query", "-c", "xfce4-desktop", "-n", "-t", type, "-p", property, "-s", value})
               .status
           == 0;
}

// The names of the channel's properties, as `xfconf-query -l` lists them.
inline std::vector<std::string> XfconfPropertyNames()
{
    const ProgramResult result = RunProgramForOutput({"xfconf-query", "-c", "xfce4-desktop", "-l"});
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < result.output.size()) {
        std::size_t end = result.output.find('\n', start);
        if (end == std::string::npos) {
            end = result.output.size();
        }
        if (end > start) {
            names.push_back(result.output.substr(start, end - start));
        }
        start = end + 1;
    }
    return names;
}

} // namespace palvina::test
