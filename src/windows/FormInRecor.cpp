// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/FormInRecor.h"

#include "base/Units.h"
#include "look/Caption.h"
#include "look/WindowLook.h"
#include "records/Cp1252.h"
#include "records/ModuleNom.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

FormInRecor::FormInRecor(ModuleNom& records, QWidget* mainWindow, std::function<void()> rearm)
    : records_(records),
      mainWindow_(mainWindow),
      rearm_(std::move(rearm))
{
    look::frameWindow(this, look::Frame::Dialog, QStringLiteral("      Vorlin    RECORD !"), 2295, 1110);
    setFont(look::designFont());
    look::setColour(this, QPalette::Window, look::colour(look::kBackColor));

    Label1 = new QLabel(QStringLiteral("Entrée vos initiales:"), this);
    Label1->setGeometry(look::twips(120, 240, 1455, 255));
    look::setColour(Label1, QPalette::WindowText, QColor(0, 0, 255));
    // The design's box was drawn for a narrower font than this desktop's: shrink the
    // caption until it fits rather than cut it.
    for (QFont f = Label1->font(); QFontMetrics(f).horizontalAdvance(Label1->text()) > Label1->width() &&
                                   f.pointSizeF() > 5;) {
        f.setPointSizeF(f.pointSizeF() - 0.5);
        Label1->setFont(f);
    }

    Text1 = new QLineEdit(this);
    Text1->setGeometry(look::twips(1680, 240, 495, 285));
    Text1->setMaxLength(3);
    Text1->installEventFilter(this);
    // Every initial goes through the key-press rule: no paste by menu or by dropping.
    Text1->setContextMenuPolicy(Qt::NoContextMenu);
    Text1->setAcceptDrops(false);

    Command1 = new QPushButton(QStringLiteral("OK"), this);
    Command1->setGeometry(look::twips(720, 600, 735, 375));
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &FormInRecor::Command1_Click);

    setTabOrder(Text1, Command1);
    Text1->setFocus();
}

void FormInRecor::Text1_KeyPress(int& keyAscii)
{
    if (keyAscii < 65)
        keyAscii = 63;
    if (Text1->text().isEmpty() && keyAscii >= 97)
        keyAscii -= 32;
    // Upper-casing "¡", "°", "½"... lands on DEL or a code Windows-1252 leaves unassigned,
    // which the settings file refuses: the record would be lost at the next start.
    if (keyAscii > 255 || !cp1252::isPrintable(static_cast<std::uint8_t>(keyAscii)))
        keyAscii = 63;
}

bool FormInRecor::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != Text1 || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    // Enter is the OK button's, the window's default.
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        Command1->click();
        return true;
    }
    if (key->matches(QKeySequence::Paste))
        return true;
    // Delete and moving the cursor still edit as usual.
    if (key->key() == Qt::Key_Delete ||
        key->key() == Qt::Key_Left || key->key() == Qt::Key_Right || key->key() == Qt::Key_Home ||
        key->key() == Qt::Key_End || key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab ||
        (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        return QWidget::eventFilter(watched, event);
    // Every typed character goes through the rule, Backspace included, which types "?".
    QString text = key->text();
    if (key->key() == Qt::Key_Backspace)
        text = QString(QChar(8));
    if (text.isEmpty())
        return QWidget::eventFilter(watched, event);
    for (QChar c : text) {
        int code = cp1252::fromChar(c);
        Text1_KeyPress(code);
        Text1->insert(QString(cp1252::toChar(static_cast<std::uint8_t>(code))));
    }
    return true;
}

void FormInRecor::Command1_Click()
{
    if (done_)
        return;
    done_ = true;
    QString nom = Text1->text().left(3);
    while (nom.size() < 3)
        nom += QLatin1Char(' ');
    records_.nom = nom;
    records_.record = records_.score;
    if (mainWindow_)
        mainWindow_->setEnabled(true);
    if (rearm_)
        rearm_();
    close();
}

void FormInRecor::closeEvent(QCloseEvent* event)
{
    // Closed by its close box: the same as OK, so the game is never left disabled and the
    // new top score is not lost.
    Command1_Click();
    event->accept();
}
