// SPDX-License-Identifier: GPL-3.0-or-later
#include "anipic/ImageArray.h"

#include "base/Units.h"

#include <QPaintEvent>
#include <QPainter>
#include <QPixmap>

namespace {

// The transparent layer that shows the added elements: it paints its composed picture and
// lets the mouse through to what lies beneath.
class FrameLayer final : public QWidget {
public:
    FrameLayer(QWidget* host, const QImage& composed) : QWidget(host), composed_(composed)
    {
        setObjectName(QStringLiteral("ImageArrayLayer"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
    }

protected:
    void paintEvent(QPaintEvent* event) override
    {
        QPainter p(this);
        for (const QRect& r : event->region())
            p.drawImage(r.topLeft(), composed_, r);
    }

private:
    const QImage& composed_;
};

} // namespace

ImageArray::ImageArray(QLabel* element0, QObject* parent) : QObject(parent)
{
    elements_.push_back({element0, QString()});
}

ImageArray::~ImageArray()
{
    removeAdded();
}

QLabel* ImageArray::element(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return elements_[static_cast<std::size_t>(index)].label;
}

QWidget* ImageArray::host() const
{
    QLabel* e0 = element(0);
    return e0 ? e0->parentWidget() : nullptr;
}

int ImageArray::add()
{
    QLabel* e0 = element(0);
    if (!e0 || !e0->parentWidget())
        return -1;

    auto* e = new QLabel(e0->parentWidget());
    e->setVisible(false);
    e->setGeometry(e0->geometry());
    e->setScaledContents(e0->hasScaledContents());
    e->setAlignment(e0->alignment());
    e->setFrameShape(e0->frameShape());
    e->setFrameShadow(e0->frameShadow());
    e->setLineWidth(e0->lineWidth());
    e->setMidLineWidth(e0->midLineWidth());
    e->setMargin(e0->margin());
    e->setAutoFillBackground(e0->autoFillBackground());
    e->setPalette(e0->palette());
    e->setStyleSheet(e0->styleSheet());
    e->setToolTip(e0->toolTip());
    e->setEnabled(e0->isEnabled());
    if (e0->testAttribute(Qt::WA_SetCursor))
        e->setCursor(e0->cursor());
    e->setAttribute(Qt::WA_TransparentForMouseEvents, e0->testAttribute(Qt::WA_TransparentForMouseEvents));
    e->raise();

    if (!layer_) {
        layer_ = new FrameLayer(e0->parentWidget(), composed_);
        layer_->setGeometry(QRect());
        layer_->raise();
        layer_->show();
    }
    layerStale_ = true;
    elements_.push_back({e, QString(), false});
    return count() - 1;
}

void ImageArray::removeAdded()
{
    while (elements_.size() > 1) {
        delete elements_.back().label.data();
        elements_.pop_back();
    }
    delete layer_.data();
    composed_ = QImage();
    layerStale_ = false;
    topShown_ = 0;
}

bool ImageArray::isShown(int index) const
{
    if (index == 0)
        return element(0) && !element(0)->isHidden();
    return index > 0 && index < count() && elements_[static_cast<std::size_t>(index)].shown;
}

void ImageArray::setShown(int index, bool shown)
{
    if (index == 0) {
        if (QLabel* e0 = element(0))
            e0->setVisible(shown);
        return;
    }
    if (index < 0 || index >= count() || elements_[static_cast<std::size_t>(index)].shown == shown)
        return;
    elements_[static_cast<std::size_t>(index)].shown = shown;
    if (layerStale_) {
        layoutLayer();
        return;
    }
    if (shown && index > topShown_) {
        // The usual step of an animation: one more frame on top of the rest.
        drawOnLayer(index);
        topShown_ = index;
        if (QLabel* e = element(index))
            layer_->update(e->geometry().translated(-layer_->pos()));
        return;
    }
    recompose();
}

void ImageArray::hideAdded()
{
    if (topShown_ == 0 && !layerStale_)
        return;
    for (std::size_t i = 1; i < elements_.size(); ++i)
        elements_[i].shown = false;
    if (layerStale_)
        layoutLayer();
    else
        recompose();
}

void ImageArray::layoutLayer()
{
    layerStale_ = false;
    if (!layer_)
        return;
    QRect bounds;
    for (std::size_t i = 1; i < elements_.size(); ++i)
        if (QLabel* e = elements_[i].label)
            bounds |= e->geometry();
    layer_->setGeometry(bounds);
    recompose();
}

void ImageArray::recompose()
{
    if (!layer_)
        return;
    if (composed_.size() != layer_->size())
        composed_ = QImage(layer_->size(), QImage::Format_ARGB32_Premultiplied);
    composed_.fill(Qt::transparent);
    topShown_ = 0;
    for (int i = 1; i < count(); ++i) {
        if (elements_[static_cast<std::size_t>(i)].shown) {
            drawOnLayer(i);
            topShown_ = i;
        }
    }
    layer_->update();
}

void ImageArray::drawOnLayer(int index)
{
    QLabel* e = element(index);
    if (!e || composed_.isNull())
        return;
    // The label paints itself, frame and alignment included, though it is never shown.
    e->render(&composed_, e->pos() - layer_->pos(), QRegion(), QWidget::RenderFlags());
}

QString ImageArray::tag(int index) const
{
    if (index < 0 || index >= count())
        return QString();
    return elements_[static_cast<std::size_t>(index)].tag;
}

void ImageArray::setTag(int index, const QString& tag)
{
    if (index >= 0 && index < count())
        elements_[static_cast<std::size_t>(index)].tag = tag;
}

QImage ImageArray::picture(int index) const
{
    QLabel* e = element(index);
    return e ? e->pixmap().toImage() : QImage();
}

void ImageArray::setPicture(int index, const QImage& picture)
{
    QLabel* e = element(index);
    if (!e)
        return;
    e->setPixmap(QPixmap::fromImage(picture));
    if (!e->hasScaledContents()) {
        const int around = 2 * (e->frameWidth() + e->margin());
        e->resize(picture.size().grownBy(e->contentsMargins()) + QSize(around, around));
    }
    if (index > 0)
        layerStale_ = true;
}

int ImageArray::left(int index) const
{
    QLabel* e = element(index);
    return e ? units::pxToTwips(e->x()) : 0;
}

int ImageArray::top(int index) const
{
    QLabel* e = element(index);
    return e ? units::pxToTwips(e->y()) : 0;
}

void ImageArray::move(int index, int leftTwips, int topTwips)
{
    if (QLabel* e = element(index)) {
        e->move(units::twipsToPx(leftTwips), units::twipsToPx(topTwips));
        if (index > 0)
            layerStale_ = true;
    }
}
