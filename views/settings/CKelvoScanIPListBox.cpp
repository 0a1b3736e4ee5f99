#include "views/settings/CKelvoScanIPListBox.h"

#include "discovery/CNearbyBoxList.h"
#include "ui/CKelvoRes.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {
constexpr int kTextIndent = 4;
}

CKelvoScanIPListBox::CKelvoScanIPListBox(QWidget* parent, int commandId)
    : CNxListBox(parent, commandId), m_normal(KelvoRes().colorText), m_selected(KelvoRes().colorSelectedText)
{
    SetItemHeight(QFontMetrics(font()).height() + 4);
}

void CKelvoScanIPListBox::SetTextColours(const QColor& normal, const QColor& selected)
{
    m_normal = normal;
    m_selected = selected;
    update();
}

void CKelvoScanIPListBox::ShowRows(const CNearbyBoxList& boxes)
{
    std::vector<QString> texts;
    std::vector<QVariant> rowData;
    texts.reserve(static_cast<size_t>(boxes.RowCount()));
    rowData.reserve(static_cast<size_t>(boxes.RowCount()));
    for (int row = 0; row < boxes.RowCount(); ++row) {
        texts.push_back(boxes.RowText(row));
        const UpnpDevice* box = boxes.Box(row);
        rowData.push_back(box ? QVariant::fromValue(box->ipAddress) : QVariant());
    }
    SetRows(std::move(texts), std::move(rowData));
    SetCurSel(boxes.SelectedRow());
}

void CKelvoScanIPListBox::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem&) const
{
    // The selection shows in the text colour only; the rows lie on the list's own background.
    p.fillRect(rect, BackgroundColor());
}

void CKelvoScanIPListBox::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const QRect text = rect.adjusted(kTextIndent, 0, -kTextIndent, 0);
    p.setFont(font());
    p.setPen(item.selected ? m_selected : m_normal);
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
               p.fontMetrics().elidedText(item.text, Qt::ElideRight, text.width()));
}

bool CKelvoScanIPListBox::Swallowed(const QMouseEvent* event) const
{
    const int index = ItemFromPoint(event->position().toPoint());
    return index < 0 || IsPlaceholderRow(index);
}

void CKelvoScanIPListBox::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && Swallowed(event)) {
        setFocus(Qt::MouseFocusReason);
        return;
    }
    CNxListBox::mousePressEvent(event);
}

void CKelvoScanIPListBox::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && Swallowed(event))
        return;
    CNxListBox::mouseDoubleClickEvent(event);
}

void CKelvoScanIPListBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        SetItemHeight(QFontMetrics(font()).height() + 4);
    CNxListBox::changeEvent(event);
}
