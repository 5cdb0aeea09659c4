// SPDX-License-Identifier: GPL-3.0-or-later
#include "look/Caption.h"

#include "look/WindowLook.h"

#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcut>
#include <QWidget>
#include <QWindow>
#include <vector>

namespace look {

namespace {

constexpr int kEdge = 1;

// The caption of a fixed window as the design draws it: the window's own icon if it was given
// one, the title on a blue band, and a close box, the only box these windows have. A press on
// the band moves the window (the window system does it); a double click does nothing, as a
// fixed window cannot be maximised; a right click opens the window menu.
class Caption final : public QWidget {
public:
    Caption(QWidget* window, Frame frame) : QWidget(window), frame_(frame)
    {
        setObjectName(QStringLiteral("caption"));
        setFont(designFont(frame == Frame::Tool ? 7 : 8, true));
        setGeometry(kEdge, kEdge, window->width() - 2 * kEdge, captionHeight(frame));
    }

    QRect closeBox() const
    {
        const int h = height() - 4;
        return QRect(width() - 2 - h - h / 8, 2, h + h / 8, h);
    }

    // The design's window menu of a fixed window: only what applies to it. Alt+F4 is the
    // window system's; the menu only shows it.
    void showWindowMenu(QPoint at)
    {
        if (!menu_) {
            menu_ = new QMenu(this);
            menu_->setObjectName(QStringLiteral("windowMenu"));
            menu_->addAction(QStringLiteral("&Déplacer"), this, [this] {
                if (QWindow* w = window()->windowHandle())
                    w->startSystemMove();
            });
            menu_->addSeparator();
            QAction* close = menu_->addAction(QStringLiteral("&Fermer\tAlt+F4"), window(), &QWidget::close);
            QFont bold = menu_->font();
            bold.setBold(true);
            close->setFont(bold);
        }
        menu_->popup(at);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        const bool active = window()->isActiveWindow();
        QLinearGradient band(0, 0, width(), 0);
        band.setColorAt(0, active ? QColor(0, 0, 128) : QColor(128, 128, 128));
        band.setColorAt(1, active ? QColor(16, 132, 208) : QColor(181, 181, 181));
        p.fillRect(rect(), band);

        int left = 3;
        if (window()->testAttribute(Qt::WA_SetWindowIcon)) {
            const int side = height() - 2;
            p.drawPixmap(QRect(2, 1, side, side), window()->windowIcon().pixmap(side, side));
            left = 2 + side + 3;
        }
        p.setPen(active ? Qt::white : QColor(212, 208, 200));
        const QRect text = rect().adjusted(left, 0, -closeBox().width() - 4, 0);
        p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, window()->windowTitle());

        // The close box: a raised grey button with a cross, sunken while pressed on it.
        const QRect box = closeBox();
        p.fillRect(box, QColor(212, 208, 200));
        p.setPen(pressed_ ? QColor(64, 64, 64) : Qt::white);
        p.drawLine(box.topLeft(), box.topRight());
        p.drawLine(box.topLeft(), box.bottomLeft());
        p.setPen(pressed_ ? Qt::white : QColor(64, 64, 64));
        p.drawLine(box.bottomLeft(), box.bottomRight());
        p.drawLine(box.topRight(), box.bottomRight());
        const QRect cross = box.adjusted(box.width() / 4 + 1, box.height() / 4, -box.width() / 4, -box.height() / 4 + 1)
                                .translated(pressed_ ? 1 : 0, pressed_ ? 1 : 0);
        p.setPen(QPen(Qt::black, frame_ == Frame::Tool ? 1.5 : 2));
        p.setRenderHint(QPainter::Antialiasing);
        p.drawLine(cross.topLeft(), cross.bottomRight());
        p.drawLine(cross.bottomLeft(), cross.topRight());
    }

    void mousePressEvent(QMouseEvent* e) override
    {
        if (e->button() == Qt::RightButton) {
            showWindowMenu(e->globalPosition().toPoint());
            return;
        }
        if (e->button() != Qt::LeftButton)
            return;
        if (closeBox().contains(e->position().toPoint())) {
            pressed_ = true;
            update();
        } else if (QWindow* w = window()->windowHandle()) {
            w->startSystemMove();
        }
    }

    void mouseReleaseEvent(QMouseEvent* e) override
    {
        if (!pressed_ || e->button() != Qt::LeftButton)
            return;
        pressed_ = false;
        update();
        if (closeBox().contains(e->position().toPoint()))
            window()->close();
    }

    void mouseDoubleClickEvent(QMouseEvent* e) override { e->accept(); }

private:
    Frame frame_;
    bool pressed_ = false;
    QPointer<QMenu> menu_;
};

// Keeps a fixed window at its size: a maximised or full-screen state is undone as soon as it
// is reported, whoever asked for it. Where the game draws the caption, adds it when the
// window is first shown, once its children are all in place.
class FixedWindow final : public QObject {
public:
    FixedWindow(QWidget* w, Frame frame) : QObject(w), window_(w), frame_(frame)
    {
        setObjectName(QStringLiteral("FixedWindow"));
        w->installEventFilter(this);
    }

    void addCaption()
    {
        if (caption_)
            return;
        const int h = captionHeight(frame_);
        // The caption and the edge go around the client area, which keeps the design's size.
        if (window_->layout()) {
            window_->setContentsMargins(window_->contentsMargins() + QMargins(kEdge, kEdge + h, kEdge, kEdge));
        } else {
            for (QWidget* child : window_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!child->isWindow())
                    child->move(child->pos() + QPoint(kEdge, kEdge + h));
            window_->setFixedSize(window_->size() + QSize(2 * kEdge, h + 2 * kEdge));
        }
        caption_ = new Caption(window_, frame_);
        caption_->show();
        // No frame comes from the window system: a dark line around the window keeps its
        // edge on any background.
        for (int i = 0; i < 4; ++i) {
            auto* edge = new QWidget(window_);
            edge->setObjectName(QStringLiteral("edge"));
            edge->setAttribute(Qt::WA_TransparentForMouseEvents);
            setColour(edge, QPalette::Window, QColor(64, 64, 64));
            edges_.push_back(edge);
            edge->show();
        }
        placeFrame();
        auto* menuKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window_);
        connect(menuKey, &QShortcut::activated, caption_,
                [c = caption_] { c->showWindowMenu(c->mapToGlobal(QPoint(0, c->height()))); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window_)
            return false;
        switch (event->type()) {
        case QEvent::WindowStateChange:
            if (window_->windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen))
                window_->setWindowState(window_->windowState() & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
            break;
        case QEvent::Show:
            if (drawsOwnCaptions())
                addCaption();
            break;
        case QEvent::Resize:
            placeFrame();
            break;
        case QEvent::WindowTitleChange:
        case QEvent::WindowIconChange:
        case QEvent::ActivationChange:
            if (caption_)
                caption_->update();
            break;
        default:
            break;
        }
        return false;
    }

private:
    // A window that lays itself out (a message box) sizes itself after the caption is added.
    void placeFrame()
    {
        if (!caption_)
            return;
        const int w = window_->width(), h = window_->height();
        caption_->setGeometry(kEdge, kEdge, w - 2 * kEdge, captionHeight(frame_));
        const QRect sides[] = {{0, 0, w, kEdge}, {0, h - kEdge, w, kEdge}, {0, 0, kEdge, h}, {w - kEdge, 0, kEdge, h}};
        for (std::size_t i = 0; i < edges_.size(); ++i) {
            edges_[i]->setGeometry(sides[i]);
            edges_[i]->raise();
        }
    }

    QWidget* window_;
    Frame frame_;
    QPointer<Caption> caption_;
    std::vector<QWidget*> edges_;
};

} // namespace

bool drawsOwnCaptions()
{
    const QString platform = QGuiApplication::platformName();
    return platform == QLatin1String("xcb") || platform == QLatin1String("wayland");
}

int captionHeight(Frame frame)
{
    // The design's caption and small caption: 18 and 15 pixels at 96 dpi.
    return frame == Frame::Tool ? 15 : 18;
}

void frameWindow(QWidget* w, Frame frame, const QString& caption, int widthTwips, int heightTwips)
{
    const Qt::WindowFlags type = frame == Frame::Tool ? Qt::Tool : Qt::Dialog;
    // A title and a close box only. Qt gives a frameless window a frame again if any box is
    // named beside it.
    w->setWindowFlags(drawsOwnCaptions() ? type | Qt::FramelessWindowHint
                                         : type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                               Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setWindowTitle(caption);
    w->setFixedSize(units::twipsToPx(widthTwips), units::twipsToPx(heightTwips));
    new FixedWindow(w, frame);
}

void frameMessageBox(QWidget* box)
{
    box->setWindowFlags(drawsOwnCaptions() ? Qt::Dialog | Qt::FramelessWindowHint
                                           : Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                                 Qt::WindowCloseButtonHint);
    new FixedWindow(box, Frame::Dialog);
}

void addCaption(QWidget* w)
{
    if (auto* fixed = w->findChild<FixedWindow*>(QStringLiteral("FixedWindow"), Qt::FindDirectChildrenOnly))
        fixed->addCaption();
}

} // namespace look
