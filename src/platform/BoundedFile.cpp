// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/BoundedFile.h"

#include <QFile>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

std::optional<QByteArray> readRegularFile(const QString& path, qint64 cap)
{
    if (cap < 0)
        return std::nullopt;
    // Non-blocking, so a FIFO of that name cannot hold the open; the type is then checked on
    // what was opened, not on the name, which could be swapped in between.
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > cap)
        return std::nullopt;

    // The size is a hint only: read up to one byte past the cap to see a file that grew.
    QByteArray out;
    out.resize(static_cast<qsizetype>(st.st_size) + 1);
    qsizetype got = 0;
    for (;;) {
        if (got == out.size()) {
            if (out.size() > cap)
                return std::nullopt;
            out.resize(std::min<qsizetype>(cap + 1, out.size() * 2 + 1));
        }
        const ssize_t n = ::read(fd, out.data() + got, static_cast<size_t>(out.size() - got));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        got += n;
    }
    if (got > cap)
        return std::nullopt;
    out.truncate(got);
    return out;
}

} // namespace platform
