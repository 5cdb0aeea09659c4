// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace platform {

// Qt's Wayland plugin asks the compositor for the focus with the token it finds in
// XDG_ACTIVATION_TOKEN, and clears it once used. This lends a token for one request: a token
// left unused (no activation on this compositor) must not be taken for a later one.
class LentActivationToken {
public:
    explicit LentActivationToken(const QByteArray& token) : lent_(!token.isEmpty())
    {
        if (lent_)
            qputenv("XDG_ACTIVATION_TOKEN", token);
    }
    ~LentActivationToken()
    {
        if (lent_)
            qunsetenv("XDG_ACTIVATION_TOKEN");
    }
    LentActivationToken(const LentActivationToken&) = delete;
    LentActivationToken& operator=(const LentActivationToken&) = delete;

private:
    bool lent_;
};

} // namespace platform
