#include "engine/core/data_files.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include "platform/system.h"

void ReportUnusableDataFile(std::string_view name) {
    static std::mutex mutex;
    static std::set<std::string, std::less<>> reported;
    const std::lock_guard lock(mutex);
    if (!reported.emplace(name).second) return;
    std::fprintf(stderr,
                 "%.*s is missing or damaged. Put the game's data files in %s, or write the placeholder "
                 "data there with: build/bin/datagen %s\n",
                 static_cast<int>(name.size()), name.data(), platform::ProgramFolder().c_str(),
                 platform::ProgramFolder().c_str());
}
