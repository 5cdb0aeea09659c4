#include "anipic/ImageArray.h"

#include "platform/Units.h"

#include <QPixmap>

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

    elements_.push_back({e, QString()});
    return count() - 1;
}

void ImageArray::removeAdded()
{
    while (elements_.size() > 1) {
        delete elements_.back().label.data();
        elements_.pop_back();
    }
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
    if (QLabel* e = element(index))
        e->move(units::twipsToPx(leftTwips), units::twipsToPx(topTwips));
}
