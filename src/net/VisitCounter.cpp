#include "net/VisitCounter.h"

#include "files/AppSettings.h"
#include "net/NetConfig.h"

#include <limits>

namespace palvina {

namespace {

constexpr std::int32_t kInstallTick = 60;
constexpr std::int32_t kVisitTick = 180;

} // namespace

VisitStep VisitCounter::tick()
{
    if (ticks_ < std::numeric_limits<std::int32_t>::max()) {
        ++ticks_;
    }
    VisitStep step;
    if (ticks_ == kInstallTick && ReadAppSetting("App", "isIns") == "0") {
        // Marked first, so a lost install report is never repeated.
        WriteAppSetting("App", "isIns", "1");
        step.pageUrl = SiteUrl() + "install.html?" + ReadAppSetting("App", "id");
        step.stopTimer = true;
    }
    if (ticks_ == kVisitTick) {
        step.stopTimer = true;
        step.pageUrl = SiteUrl() + "count.html?" + ReadAppSetting("App", "id");
    }
    return step;
}

} // namespace palvina
