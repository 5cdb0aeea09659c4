// SPDX-License-Identifier: GPL-3.0-or-later
#include "look/WindowLook.h"

#include "platform/ActivationToken.h"

#include <QApplication>
#include <QIconEngine>
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

namespace {

bool onWayland()
{
    return QGuiApplication::platformName() == QLatin1String("wayland");
}

} // namespace

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

void bringToFront(QWidget& window, const QByteArray& activationToken)
{
    if (window.isMinimized())
        window.showNormal();
    window.show();
    window.raise();
    const platform::LentActivationToken token(onWayland() ? activationToken : QByteArray());
    window.activateWindow();
    // Where the window manager refuses the focus (X11, XWayland), the task bar shows the window
    // asks for attention; the flag goes when the window is activated. Qt 6.4's Wayland plugin
    // has no such request, and without a token asks the compositor for nothing.
    if (activationToken.isEmpty() && !window.isActiveWindow())
        QApplication::alert(&window);
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

// The menu bar's overflow arrow, two chevrons drawn in the button text colour. The style
// would read it from an image file, and reading any image by name loads every image plugin:
// the menu bar asks for this icon as it is created, before the first window shows.
class ChevronIcon final : public QIconEngine {
public:
    void paint(QPainter* p, const QRect& rect, QIcon::Mode mode, QIcon::State) override
    {
        const auto group = mode == QIcon::Disabled ? QPalette::Disabled : QPalette::Active;
        const QRectF r = QRectF(rect).adjusted(rect.width() * 0.25, rect.height() * 0.3, -rect.width() * 0.25,
                                               -rect.height() * 0.3);
        p->save();
        p->setRenderHint(QPainter::Antialiasing);
        p->setPen(QPen(QGuiApplication::palette().color(group, QPalette::ButtonText), 1.5));
        for (const double left : {r.left(), r.center().x()}) {
            const QPointF chevron[] = {{left, r.top()}, {left + r.width() / 2, r.center().y()}, {left, r.bottom()}};
            p->drawPolyline(chevron, 3);
        }
        p->restore();
    }
    QIconEngine* clone() const override { return new ChevronIcon; }
};

class ApplicationStyle final : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;
    QIcon standardIcon(StandardPixmap sp, const QStyleOption* opt, const QWidget* w) const override
    {
        if (sp == SP_ToolBarHorizontalExtensionButton)
            return QIcon(new ChevronIcon);
        return QProxyStyle::standardIcon(sp, opt, w);
    }
};

} // namespace

QStyle* menuStyle()
{
    static MenuStyle* style = new MenuStyle;
    return style;
}

QStyle* newApplicationStyle()
{
    // The style the desktop or the command line chose, under the game's one change.
    return new ApplicationStyle(QApplication::style()->name());
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
