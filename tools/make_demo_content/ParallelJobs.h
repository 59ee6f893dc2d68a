#pragma once

#include <functional>
#include <vector>

namespace palvina::demo {

// Runs independent jobs on as many threads as the machine has cores and returns when all are
// done. When jobs throw, the remaining ones are skipped and the first exception is rethrown.
void RunInParallel(const std::vector<std::function<void()>>& jobs);

} // namespace palvina::demo
