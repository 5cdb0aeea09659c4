// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace platform {

// Modal message boxes. The real one keeps the event loop (and so the enabled timers)
// running while it waits, as the game expects; tests answer through a fake.
class MessageBox {
public:
    enum class Buttons { Ok, OkCancel };
    enum class Icon { None, Information, Question };
    enum class Answer { Ok, Cancel };

    struct Request {
        QString text;
        QString title;
        Buttons buttons = Buttons::Ok;
        Icon icon = Icon::None;
        bool cancelIsDefault = false;
    };

    virtual ~MessageBox() = default;
    virtual Answer show(const Request& request) = 0;
};

class QtMessageBox final : public MessageBox {
public:
    Answer show(const Request& request) override;

    // How the game frames a box before it shows (its caption and boxes); none: the system's.
    std::function<void(QWidget&)> frame;
};

} // namespace platform
