// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QLabel>
#include <QObject>
#include <QPointer>
#include <QString>
#include <vector>

// A control array of image controls on a host window: element 0 is the host's own label,
// placed at design time and never removed; elements 1 and up are labels that the array
// creates beside it (children of the same widget) and destroys again.
//
// Elements 1 and up are drawn, in index order, by one transparent layer raised above
// element 0 when the first of them is created; their labels stay hidden and only carry
// the picture, place and look. The layer keeps the stack composed, so showing the element
// above every shown one paints that element's rectangle alone, however many lie beneath.
class ImageArray : public QObject {
    Q_OBJECT
public:
    // element0 must have a parent widget: the new elements are created on it.
    explicit ImageArray(QLabel* element0, QObject* parent = nullptr);
    ~ImageArray() override;

    ImageArray(const ImageArray&) = delete;
    ImageArray& operator=(const ImageArray&) = delete;

    // Elements 0 to count() - 1.
    int count() const { return static_cast<int>(elements_.size()); }
    // nullptr for an index outside 0..count() - 1, or an element its host has destroyed.
    QLabel* element(int index) const;
    // The widget the elements are drawn on.
    QWidget* host() const;

    // Creates element count(): hidden, above every earlier element, at element 0's place
    // and with element 0's look. Returns its index.
    int add();
    // Destroys elements 1 and up, with their pictures.
    void removeAdded();

    // Whether an element is shown on its host. Element 0 is its label's own visibility; the
    // others are drawn into one layer, so no widget can tell (the tests ask here).
    bool isShown(int index) const;
    void setShown(int index, bool shown);
    // Hides elements 1 and up, at a cost that does not grow with their number on screen.
    void hideAdded();

    QString tag(int index) const;
    void setTag(int index, const QString& tag);

    // The picture, shown at its own size unless the element stretches its picture.
    QImage picture(int index) const;
    void setPicture(int index, const QImage& picture);

    // Positions in twips, 15 to the pixel.
    int left(int index) const;
    int top(int index) const;
    void move(int index, int leftTwips, int topTwips);

private:
    struct Element {
        QPointer<QLabel> label;
        QString tag;
        bool shown = false;
    };
    // The layer's place and picture follow the added elements' places; recomputed when
    // next needed after one moved, grew or was added.
    void layoutLayer();
    void recompose();
    void drawOnLayer(int index);

    std::vector<Element> elements_;
    QPointer<QWidget> layer_;
    QImage composed_;
    bool layerStale_ = false;
    int topShown_ = 0; // highest shown added element, 0 when none
};
