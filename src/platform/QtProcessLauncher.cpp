#include "platform/Process.h"

#include <QProcess>

namespace platform {

bool QtProcessLauncher::startDetached(const QString& program, const QStringList& args)
{
    return QProcess::startDetached(program, args);
}

} // namespace platform
