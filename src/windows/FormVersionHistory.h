// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPlainTextEdit;

// The change notes, green on black; it reacts to nothing.
class FormVersionHistory final : public QWidget {
public:
    FormVersionHistory();
    QPlainTextEdit* Text1 = nullptr;
};
