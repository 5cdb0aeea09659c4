// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace platform {

// Hands an address (a web page, a "mailto:") to the desktop; the result is not examined.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString& address) = 0;
};

class QtShell final : public Shell {
public:
    void open(const QString& address) override;
};

} // namespace platform
