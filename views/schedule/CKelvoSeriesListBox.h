#pragma once

#include "ui/CNxListBox.h"
#include "views/schedule/CScheduleRows.h"

#include <QRect>

class CMainFrameMessages;

// The schedules of one series, 44-pixel rows. A press on a row's state icon switches that
// episode between recorded and skipped (or deletes a plain timer) through setSchedule.
class CKelvoSeriesListBox final : public CNxListBox
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 44;
    static constexpr int kListId = 49232;

    explicit CKelvoSeriesListBox(CMainFrameMessages& messages, QWidget* parent = nullptr);

    void FillMembers(const CScheduleElement& seriesEntry);
    void ClearMembers();
    const CSeriesRows& Rows() const { return m_rows; }
    int HotRow() const { return m_hot; }

    // Rectangles of a row relative to its top-left corner, for a client width.
    static QRect IconRect() { return QRect(12, 7, 30, 30); }
    QRect TimeRect() const { return QRect(50, 7, m_timeWidth, 30); }
    QRect NameRect(int width) const;

protected:
    void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    int IconRowAt(QPoint pos) const;
    void SetHotRow(int row);
    void RecomputeHotRow();

    CMainFrameMessages& m_messages;
    CSeriesRows m_rows;
    int m_hot = -1;
    int m_timeWidth = 0;
};
