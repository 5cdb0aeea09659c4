#include "platform/WindowLook.h"

#include <QWidget>
#include <QWindow>

namespace look {

QColor colour(units::Colour c)
{
    return QColor::fromRgb(units::toQRgb(c));
}

QFont designFont(double points, bool bold, bool underline)
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(points);
    f.setBold(bold);
    f.setUnderline(underline);
    return f;
}

QRect twips(int left, int top, int width, int height)
{
    using units::twipsToPx;
    return QRect(twipsToPx(left), twipsToPx(top), twipsToPx(width), twipsToPx(height));
}

void setColour(QWidget* w, QPalette::ColorRole role, const QColor& c)
{
    QPalette pal = w->palette();
    pal.setColor(role, c);
    w->setPalette(pal);
    if (role == QPalette::Window)
        w->setAutoFillBackground(true);
}

void frameWindow(QWidget* w, Frame frame, const QString& caption, int widthTwips, int heightTwips)
{
    w->setWindowFlags((frame == Frame::Tool ? Qt::Tool : Qt::Dialog) | Qt::CustomizeWindowHint |
                      Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(caption);
    w->setFixedSize(units::twipsToPx(widthTwips), units::twipsToPx(heightTwips));
}

void bringForward(QWidget* w, QWidget* owner)
{
    if (owner) {
        w->winId();
        if (QWindow* o = owner->window()->windowHandle())
            w->windowHandle()->setTransientParent(o);
    }
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace look
