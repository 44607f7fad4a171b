#pragma once

#include <QColor>
#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QLabel;
class QWidget;

// Colours link captions as the mouse moves: each watched area, when the
// mouse enters or moves over it, gives every link the colour listed for that
// area. A colour is only written where it differs, so moving does not repaint.
class LinkHover : public QObject {
    Q_OBJECT
public:
    explicit LinkHover(QObject* parent);

    void addLink(QLabel* link);
    // colours: one per link, in the order the links were added.
    void addArea(QWidget* area, const QList<QColor>& colours);

    static QColor colourOf(const QLabel* link);
    static void setColour(QLabel* link, const QColor& colour);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QPointer<QLabel>> links_;
    QHash<QObject*, QList<QColor>> areas_;
};
