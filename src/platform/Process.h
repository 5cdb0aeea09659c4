#pragma once

#include <QString>
#include <QStringList>

namespace platform {

// Starts a program as a separate process without waiting for it.
class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // False when the program could not be started.
    virtual bool startDetached(const QString& program, const QStringList& args) = 0;
};

class QtProcessLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& args) override;
};

} // namespace platform
