#include "app/bars/KelvoDockLayout.h"

#include <QWidget>

namespace KelvoDockLayout {

QRect Dock(QRect r, std::initializer_list<Item> items)
{
    for (const Item& item : items) {
        if (!item.bar || item.bar->isHidden())
            continue;
        const QSize hint = item.bar->sizeHint();
        switch (item.edge) {
        case Edge::Left:
            item.bar->setGeometry(r.left(), r.top(), hint.width(), r.height());
            r.setLeft(r.left() + hint.width());
            break;
        case Edge::Bottom:
            item.bar->setGeometry(r.left(), r.bottom() - hint.height() + 1, r.width(), hint.height());
            r.setBottom(r.bottom() - hint.height());
            break;
        case Edge::Top:
            item.bar->setGeometry(r.left(), r.top(), r.width(), hint.height());
            r.setTop(r.top() + hint.height());
            break;
        }
    }
    return r;
}

} // namespace KelvoDockLayout
