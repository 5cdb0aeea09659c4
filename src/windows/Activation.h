// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QWidget;

// Activation as the secondary windows mean it: the window is first shown, or becomes active
// while another window of this program was the active one. Coming back from another
// application is not an activation.
class ActivationWatcher final : public QObject {
public:
    ActivationWatcher(QWidget* window, std::function<void()> onActivate);
    ~ActivationWatcher() override;

    // What the tracker calls when `window` has become the active window.
    void activated();

private:
    QWidget* window_;
    std::function<void()> onActivate_;
};
