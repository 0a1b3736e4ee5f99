#pragma once

#include "ui/CKelvoBaseWnd.h"

#include <QRect>
#include <QtGlobal>
#include <functional>

class CKelvoScheduleListBox;
class CMainFrameMessages;
class CQuarnDataModel;

// The left bar's "My Schedule" page: the box's schedules and the "+" row. Selecting a row asks
// the main frame to open it (editSchedule); the frame shows the edit form or the series list.
class CKelvoPageSchedule final : public CKelvoBaseWnd
{
    Q_OBJECT
public:
    // boxTime: seconds since 1970 on the box's clock.
    CKelvoPageSchedule(const CQuarnDataModel& db, CMainFrameMessages& messages,
                       std::function<qint64()> boxTime, QWidget* parent = nullptr);

    // The application's last streaming service key (the "+" row's second choice of service).
    void SetLastStreamingService(std::function<int()> key) { m_lastStreamingKey = std::move(key); }
    // The current user-interface mode; in the schedule mode (1) a refill announces the selection.
    void SetUiModeQuery(std::function<int()> mode) { m_uiMode = std::move(mode); }

    // Refills the list from the database, keeping the selection (clamped to the last schedule)
    // unless `resetSelection`; in the schedule mode the selection is announced again.
    void RefreshContent() override { RefreshContent(false); }
    void RefreshContent(bool resetSelection);
    // True when a row is selected and it is the "+" row or a schedule outside any series.
    bool SelectionOpensEditForm() const;

    CKelvoScheduleListBox* List() const { return m_list; }

protected:
    void OnBeginUpdate() override;
    void OnEndUpdate() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();
    void PaintBackground(QPainter& p) const;
    void PaintFrame(QPainter& p) const;
    void Announce(int row);

    const CQuarnDataModel& m_db;
    CMainFrameMessages& m_messages;
    std::function<qint64()> m_boxTime;
    std::function<int()> m_lastStreamingKey;
    std::function<int()> m_uiMode;
    CKelvoScheduleListBox* m_list = nullptr;
    QString m_title;
    QRect m_header, m_bottom, m_left, m_right;
};
