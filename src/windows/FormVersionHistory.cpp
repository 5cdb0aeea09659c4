#include "windows/FormVersionHistory.h"

#include "platform/Units.h"
#include "windows/Texts.h"

#include <QPlainTextEdit>

using units::twipsToPx;

FormVersionHistory::FormVersionHistory()
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Vorlin QJ Version History"));
    setFixedSize(twipsToPx(8190), twipsToPx(2400));

    Text1 = new QPlainTextEdit(this);
    Text1->setGeometry(twipsToPx(240), twipsToPx(120), twipsToPx(7695), twipsToPx(2055));
    Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Text1->setReadOnly(true);
    QFont small(QStringLiteral("MS Sans Serif"));
    small.setPointSize(8);
    Text1->setFont(small);
    QPalette pal = Text1->palette();
    pal.setColor(QPalette::Base, Qt::black);
    pal.setColor(QPalette::Text, QColor(0, 192, 0));
    Text1->setPalette(pal);
    // QPlainTextEdit keeps lines apart with its own separator: CR LF would show twice.
    Text1->setPlainText(texts::versionHistory().replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}
