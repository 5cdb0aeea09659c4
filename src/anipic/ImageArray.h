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
    // Destroys elements 1 and up.
    void removeAdded();

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
    };
    std::vector<Element> elements_;
};
