#pragma once

#include "ui/CNxListBox.h"
#include "views/schedule/CScheduleRows.h"

#include <QRect>

// "My Schedule": one 76-pixel row per schedule, then the "+" row. It draws the rows' values only;
// the page decides what a selection means.
class CKelvoScheduleListBox final : public CNxListBox
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 76;
    static constexpr int kListId = 3104;

    explicit CKelvoScheduleListBox(QWidget* parent = nullptr);

    // Refills from the database and selects the kept row (no notification); returns the selected
    // row or -1.
    int FillSchedules(const OwnedList<CScheduleElement>& schedules, bool resetSelection);
    const CScheduleListRows& Rows() const { return m_rows; }
    void KeepSelection(int row) { m_rows.KeepSelection(row); }

    // Row geometry relative to a row's top-left corner, for a client width.
    struct Geometry
    {
        QRect number, scrambled, name, nameUnscrambled, lock, line2, line3, line4, icon;
    };
    static Geometry RowGeometry(int width);

signals:
    // A press on the row that is already selected: the standard list box reports it again.
    void reselected(int index);

protected:
    void PlaceScrollBar() override;
    void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void DrawNewEntry(QPainter& p, const QRect& rect, const NxDrawItem& item) const;

    CScheduleListRows m_rows;
    Geometry m_geometry;
};
