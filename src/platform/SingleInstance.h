#pragma once

#include <QString>
#include <memory>

class QLockFile;

namespace platform {

// Held for as long as the program runs; a second copy finds it taken. A lock left behind by
// a run that crashed is found stale and taken over.
class SingleInstance {
public:
    // lockPath: empty for the default one, per user, in the temporary directory.
    explicit SingleInstance(const QString& lockPath = QString());
    ~SingleInstance();
    bool acquired() const { return acquired_; }

private:
    std::unique_ptr<QLockFile> lock_;
    bool acquired_ = false;
};

} // namespace platform
