#pragma once

#include "ui/CNxListBox.h"
#include "views/guide/CKelvoEPGRows.h"

#include <QBasicTimer>
#include <QPoint>
#include <QRect>
#include <functional>
#include <optional>

class CMainFrameMessages;
class CQuarnDataModel;
struct CGuideElement;

// The events of one guide day: a schedule state icon that plays, records or unschedules the event
// with one press, the time span and length, the name, a progress bar while the event is on air,
// and a timer button that opens the schedule edit form. Every change goes to the main frame as a
// message; the icons always show the database's schedules as they are now.
class CKelvoEPGListBox final : public CNxListBox
{
    Q_OBJECT
public:
    // Parts of a row under the mouse.
    enum Part
    {
        PartNone = 0,
        PartIcon = 30,
        PartTimer = 31
    };
    static constexpr int kRowHeight = 44;
    static constexpr int kProgressPeriodMs = 5000;

    CKelvoEPGListBox(const CQuarnDataModel& db, CMainFrameMessages& messages, std::function<qint64()> boxTime,
                     QWidget* parent = nullptr);
    ~CKelvoEPGListBox() override;
    Q_DISABLE_COPY_MOVE(CKelvoEPGListBox)

    // Shows the events of `guide` that start on the local day of `day` (the guide is only read
    // during the call), or an empty list without one. Runs the progress timer while rows show.
    void ShowDay(const CGuideElement* guide, qint64 day);
    void ScrollToNow();
    // Repaints the row of an event whose schedule the box has just changed.
    void RepaintEvent(int eventId);
    // The running event's bar advances every 5 s while rows of a guide are shown, the list is
    // visible and the database is not being changed; stopping holds it until the next change of
    // those (another day, the end of an update, showing the list again).
    void StopProgressTimer();
    bool ProgressTimerActive() const { return m_progress.isActive(); }
    // One step of the progress timer: redraws the running event's row among those shown, and the
    // row that ran before when it was another.
    void AdvanceProgress();
    // While the database is being changed by a box operation nothing of it is read: presses are
    // ignored and rows are drawn without their schedules.
    void SetUpdating(bool on);

    const CKelvoEPGRows& Rows() const { return m_rows; }
    // The row and part under a point of the list, (-1, PartNone) over anything else.
    std::pair<int, int> HitTest(QPoint pos) const;
    // The rectangle of a part of a row in list coordinates; empty when the row is not shown.
    QRect PartRect(int row, int part) const;
    std::pair<int, int> Hot() const;
    int PressedRow() const { return m_pressedRow; }
    int OnAirRow() const { return m_onAirRow; }

protected:
    void PlaceScrollBar() override;
    void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void RowsChanged() override;

    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    void Layout();
    void ApplyProgressTimer();
    void SetMousePos(std::optional<QPoint> pos);
    void UpdatePart(int row, int part);
    void PressIcon(int row);
    void CancelPress();

    const CQuarnDataModel& m_db;
    CMainFrameMessages& m_messages;
    std::function<qint64()> m_boxTime;
    CKelvoEPGRows m_rows;
    bool m_updating = false;
    bool m_guideShown = false;
    // The hot row and part follow from where the mouse is, so scrolling or refilling the rows
    // never leaves a stale highlight behind.
    std::optional<QPoint> m_mouse;
    int m_pressedRow = -1;
    int m_onAirRow = -1;
    QBasicTimer m_progress;
    // Row-relative geometry, computed on resize.
    QRect m_iconRect;
    QRect m_timeRect;
    QRect m_timerRect;
    QRect m_nameRect;
};
