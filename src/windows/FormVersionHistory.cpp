// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/FormVersionHistory.h"

#include "look/Caption.h"
#include "look/WindowLook.h"
#include "windows/Texts.h"

#include <QPlainTextEdit>

FormVersionHistory::FormVersionHistory()
{
    look::frameWindow(this, look::Frame::Dialog, QStringLiteral("Vorlin QJ Version History"), 8190, 2400);

    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(look::twips(240, 120, 7695, 2055));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setReadOnly(true);
    Text1->setFont(look::designFont());
    look::setColour(Text1, QPalette::Base, Qt::black);
    look::setColour(Text1, QPalette::Text, QColor(0, 192, 0));
    // QPlainTextEdit keeps lines apart with its own separator: CR LF would show twice.
    Text1->setPlainText(texts::versionHistory().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
