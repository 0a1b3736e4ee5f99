#pragma once

#include <QRect>
#include <initializer_list>

class QWidget;

// Docking: each bar in turn takes a strip of what the bars before it left, as wide or as high as
// its size hint, along its edge; the rest is for the view.
namespace KelvoDockLayout {

enum class Edge
{
    Top,
    Left,
    Bottom,
};

struct Item
{
    QWidget* bar; // null or hidden: takes nothing
    Edge edge;
};

// Places the bars and returns what is left.
QRect Dock(QRect area, std::initializer_list<Item> items);

} // namespace KelvoDockLayout
