#pragma once

#include "ui/CNxListBox.h"

class CChannelRows;
class CMainFrameMessages;
class CQuarnDataModel;

// The channel list: one 44-pixel row per service of the channel page's rows, with number, name,
// scrambled and blocked marks, the event on air and a guide button. The rows are the page's
// CChannelRows (service keys); each row looks its service up again when it is drawn or hit, so
// the list never holds a record across a reload, and while a box operation may change the
// database (SetUpdating(true)) it looks nothing up at all. A click on an active guide button
// sends showGuide(key) to the frame.
class CKelvoChannelListBox final : public CNxListBox
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 44;

    // Row rectangles of the list's client width, relative to a row.
    struct RowLayout
    {
        QRect number, scrambled, name, lock, guideButton, start, eventName, duration;
        static RowLayout ForWidth(int width);
    };

    CKelvoChannelListBox(const CQuarnDataModel& db, const CChannelRows& rows, CMainFrameMessages& messages,
                         QWidget* parent = nullptr);

    // Takes over the rows' keys after they were refilled: selection and scroll position restart.
    void RowsRefilled();
    int KeyAt(int row) const;

    // The service streamed to this computer (-1 none): its row is drawn blue.
    void SetStreamingService(int key);
    int StreamingService() const { return m_streaming; }
    // After streaming started or stopped: repaints the previously streamed row if it is on the
    // page and scrolls the streamed row into view.
    void ShowStreamedRow(int previousKey);

    // Between the box controller's updateBegins and updateEnds: rows are drawn empty, the guide
    // buttons and double-clicks do nothing, a press under way is dropped.
    void SetUpdating(bool on);
    bool IsUpdating() const { return m_updating; }

    void SetGuideButtonsEnabled(bool on);
    bool GuideButtonsEnabled() const { return m_guideEnabled; }
    int HotRow() const { return m_hot; }
    int PressedRow() const { return m_pressed; }
    bool IsTracking() const { return m_tracking; }
    // The row whose active guide button lies under the point, else -1.
    int HitTestGuideButton(QPoint pos) const;
    // The guide button of a row in widget coordinates (empty for a row out of the list).
    QRect GuideButtonRect(int row) const;
    // The frame of the guide button image a row shows now: 0 normal, 1 pressed, 2 hot, 3 inactive.
    int GuideButtonFrame(int row) const;
    const RowLayout& Layout() const { return m_layout; }

protected:
    void DrawItemBackground(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void DrawItemContent(QPainter& p, const QRect& rect, const NxDrawItem& item) const override;
    void PlaceScrollBar() override;
    void UpdateScrollBar() override;

    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool event(QEvent* event) override;

private:
    void SetHotRow(int row);
    void CancelPress();
    void UpdateButton(int row);

    const CQuarnDataModel& m_db;
    const CChannelRows& m_rows;
    CMainFrameMessages& m_messages;
    RowLayout m_layout;
    QString m_noEventText;
    int m_streaming = -1;
    bool m_guideEnabled = true;
    bool m_updating = false;
    int m_hot = -1;
    int m_pressed = -1;
    bool m_capturing = false;
    bool m_tracking = false;
};
