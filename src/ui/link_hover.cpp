#include "ui/link_hover.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>

LinkHover::LinkHover(QObject* parent)
    : QObject(parent)
{ }

void LinkHover::addLink(QLabel* link) { links_ << link; }

void LinkHover::addArea(QWidget* area, const QList<QColor>& colours)
{
    areas_.insert(area, colours);
    area->setMouseTracking(true);
    area->installEventFilter(this);
}

QColor LinkHover::colourOf(const QLabel* link) { return link->palette().color(QPalette::WindowText); }

void LinkHover::setColour(QLabel* link, const QColor& colour)
{
    if (colourOf(link) == colour)
        return;
    QPalette p = link->palette();
    p.setColor(QPalette::WindowText, colour);
    link->setPalette(p);
}

bool LinkHover::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Enter || event->type() == QEvent::MouseMove) {
        const auto it = areas_.constFind(watched);
        if (it != areas_.constEnd()) {
            // A move that a label ignores travels on to its parents; the
            // innermost watched area under the mouse decides, not the outer one.
            if (event->type() == QEvent::MouseMove) {
                auto* area = static_cast<QWidget*>(watched);
                const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
                for (QWidget* c = area->childAt(pos); c && c != area; c = c->parentWidget())
                    if (areas_.contains(c))
                        return false;
            }
            for (qsizetype i = 0; i < links_.size() && i < it->size(); ++i)
                if (links_[i])
                    setColour(links_[i], it->at(i));
        }
    }
    return false;
}
