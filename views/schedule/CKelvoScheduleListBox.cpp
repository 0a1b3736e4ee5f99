#include "views/schedule/CKelvoScheduleListBox.h"

#include "ui/CKelvoRes.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// One line, left-aligned, sitting on the bottom of its rectangle, cut with an ellipsis.
void DrawLine(QPainter& p, const QRect& r, const QString& text)
{
    p.drawText(r, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
               p.fontMetrics().elidedText(text, Qt::ElideRight, r.width()));
}

} // namespace

CKelvoScheduleListBox::CKelvoScheduleListBox(QWidget* parent) : CNxListBox(parent, kListId)
{
    SetItemHeight(kRowHeight);
    SetBackgroundColor(KelvoRes().colorListBack);
    SetNotify(true);
    SetSorted(false);
    m_geometry = RowGeometry(ClientRect().width());
}

CKelvoScheduleListBox::Geometry CKelvoScheduleListBox::RowGeometry(int w)
{
    Geometry g;
    g.number = QRect(QPoint(20, 4), QPoint(62 - 1, 24 - 1));
    g.scrambled = QRect(QPoint(62, 7), QPoint(76 - 1, 21 - 1));
    g.name = QRect(QPoint(79, 4), QPoint(w - 67 - 1, 24 - 1));
    g.nameUnscrambled = QRect(QPoint(62, 4), QPoint(w - 67 - 1, 24 - 1));
    g.lock = QRect(QPoint(w - 64, 5), QPoint(w - 48 - 1, 21 - 1));
    g.line2 = QRect(QPoint(20, 24), QPoint(w - 42 - 1, 39 - 1));
    g.line3 = QRect(QPoint(20, 39), QPoint(w - 42 - 1, 54 - 1));
    g.line4 = QRect(QPoint(20, 54), QPoint(w - 42 - 1, 69 - 1));
    g.icon = QRect(QPoint(w - 42, 23), QPoint(w - 12 - 1, 53 - 1));
    return g;
}

void CKelvoScheduleListBox::PlaceScrollBar()
{
    CNxListBox::PlaceScrollBar();
    m_geometry = RowGeometry(ClientRect().width());
}

int CKelvoScheduleListBox::FillSchedules(const OwnedList<CScheduleElement>& schedules, bool resetSelection)
{
    const auto& res = KelvoRes();
    m_rows.Fill(schedules, resetSelection, {res.timeFormat, res.dateFormatShort});
    std::vector<QString> texts;
    texts.reserve(m_rows.Rows().size());
    for (const CScheduleRow& row : m_rows.Rows())
        texts.push_back(row.isNew ? QStringLiteral("+") : row.eventName);
    SetRows(std::move(texts));
    const int sel = m_rows.SelectionAfterFill();
    if (sel >= 0) {
        SetCurSel(sel);
        EnsureVisible(sel);
    }
    return sel;
}

void CKelvoScheduleListBox::mousePressEvent(QMouseEvent* event)
{
    const int row = ItemFromPoint(event->position().toPoint());
    const bool again = event->button() == Qt::LeftButton && row >= 0 && row == GetCurSel();
    CNxListBox::mousePressEvent(event);
    if (again)
        emit reselected(row);
}

void CKelvoScheduleListBox::DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const CKelvoRes& res = KelvoRes();
    const CNxImages& blue = res.imgRowBlue75;
    if (item.selected && !blue.IsNull()) {
        p.fillRect(rect, res.colorListBack);
        const QRect band(rect.left(), rect.top(), rect.width(), blue.FrameSize().height());
        blue.Draw(p, band.intersected(rect), 0, CNxImages::HAlign::Stretch, CNxImages::VAlign::Top);
    } else {
        p.fillRect(rect, res.colorListBack);
    }
    p.fillRect(QRect(rect.left(), rect.bottom(), rect.width(), 1), res.colorListLine);
}

void CKelvoScheduleListBox::DrawNewEntry(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    KelvoRes().imgIconsAdd.Draw(p, rect, item.selected ? 1 : 0, CNxImages::HAlign::Centre,
                                CNxImages::VAlign::Centre);
}

void CKelvoScheduleListBox::DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const
{
    const auto& rows = m_rows.Rows();
    if (item.index < 0 || item.index >= static_cast<int>(rows.size()))
        return;
    const CScheduleRow& row = rows[static_cast<size_t>(item.index)];
    if (row.isNew) {
        DrawNewEntry(p, rect, item);
        return;
    }
    const auto& res = KelvoRes();
    const QPoint at = rect.topLeft();
    const Geometry& g = m_geometry;
    p.save();
    p.setClipRect(rect);
    res.imgIconsSchedule.Draw(p, g.icon.translated(at), row.iconFrame, CNxImages::HAlign::Centre,
                              CNxImages::VAlign::Centre);
    if (row.scrambled)
        res.imgIconScrambled.Draw(p, g.scrambled.translated(at), 0, CNxImages::HAlign::Centre,
                                  CNxImages::VAlign::Centre);
    if (row.blocked)
        res.imgIconLock.Draw(p, g.lock.translated(at), 0, CNxImages::HAlign::Centre,
                             CNxImages::VAlign::Centre);

    p.setPen(item.selected ? res.colorColumn1 : res.colorText);
    if (row.hasService) {
        p.setFont(res.fontBold15);
        DrawLine(p, g.number.translated(at), row.number);
        const QRect name = (row.scrambled ? g.name : g.nameUnscrambled).translated(at);
        if (QFontMetrics(res.fontBold15).horizontalAdvance(row.name) > name.width())
            p.setFont(res.fontBold12);
        DrawLine(p, name, row.name);
    }

    // Lines 3 and 4 take the font that line 2 needed.
    const QRect line2 = g.line2.translated(at);
    const bool small = QFontMetrics(res.fontNormal12).horizontalAdvance(row.eventName) > line2.width();
    p.setFont(small ? res.fontNormal10 : res.fontNormal12);
    p.setPen(item.selected ? res.colorColumn1 : res.colorColumn3);
    DrawLine(p, line2, row.eventName);
    DrawLine(p, g.line3.translated(at), row.dateLine);
    DrawLine(p, g.line4.translated(at), row.durationLine);
    p.restore();
}
