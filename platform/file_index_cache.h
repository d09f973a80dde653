#pragma once
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "platform/safe_file.h"

namespace platform {

// What one walk through a file found (its entries, the damage met), kept by
// path. A kept index serves while the file keeps its version; a file changed
// within the last moments is indexed afresh on every read, since a change in
// the same clock tick would leave its version as it was.
template <typename Index>
class FileIndexCache {
public:
    // The index of the file at `path` in its current `version`: the kept one
    // when that version is unchanged, else what `make()` walks now.
    template <typename Make>
    std::shared_ptr<const Index> Get(const std::string& path, const FileVersion& version, Make make) {
        {
            std::lock_guard lock(mutex_);
            const auto it = kept_.find(path);
            if (it != kept_.end() && it->second.version == version) return it->second.index;
        }
        auto index = std::make_shared<const Index>(make());
        std::lock_guard lock(mutex_);
        if (IsSettled(version)) kept_[path] = {version, index};
        else kept_.erase(path);
        return index;
    }

private:
    struct Kept {
        FileVersion version;
        std::shared_ptr<const Index> index;
    };
    std::mutex mutex_;
    std::map<std::string, Kept, std::less<>> kept_;
};

}  // namespace platform
