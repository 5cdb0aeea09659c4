#include "platform/WindowLook.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QMenu>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>
#include <QTranslator>
#include <QWidget>
#include <QWindow>

namespace look {

QColor colour(units::Colour c)
{
    return QColor::fromRgb(units::toQRgb(c));
}

QFont designFont(double points, bool bold, bool underline)
{
    // DejaVu Sans Condensed stands in for "MS Sans Serif": at 8 pt and 96 dpi it has the
    // design font's average character width (5 px) and line height (13 px), so every text
    // fits the box drawn for it. DejaVu Sans, wider, wrapped the help and About texts.
    QFont f(QStringLiteral("DejaVu Sans Condensed"));
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

namespace {

class MenuStyle final : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement pe, const QStyleOption* opt, QPainter* p, const QWidget* w) const override
    {
        if (pe != PE_IndicatorCheckBox || !qobject_cast<const QMenu*>(w))
            return QProxyStyle::drawPrimitive(pe, opt, p, w);
        if (!(opt->state & State_On))
            return;
        // A tick in the text colour, as a menu of the design's platform draws it.
        const QRectF r = QRectF(opt->rect).adjusted(2, 2, -2, -2);
        QPen pen(opt->palette.color(QPalette::Text), 2);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(pen);
        const QPointF tick[] = {{r.left(), r.center().y()}, {r.left() + r.width() * 0.4, r.bottom()}, {r.right(), r.top()}};
        p->drawPolyline(tick, 3);
        p->restore();
    }
};

} // namespace

QStyle* menuStyle()
{
    static MenuStyle* style = new MenuStyle;
    return style;
}

void loadFrenchQtTexts()
{
    static QTranslator* french = nullptr;
    if (french)
        return;
    french = new QTranslator(QCoreApplication::instance());
    if (french->load(QStringLiteral("qtbase_fr"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(french);
}

} // namespace look
