#pragma once

#include "ui/CKelvoBaseWnd.h"

#include <QRect>
#include <QString>

class CKelvoButton;
class CMainFrameMessages;
class CQuarnDataModel;

// The information box of the control bar: number, name, flags and present event of the service
// that is selected or stepped to, and the button that opens its channel information. What it
// draws is copied from the database when the service is set or the database was refreshed, so
// painting never reads a record.
class CKelvoInfoBox final : public CKelvoBaseWnd
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoInfoBox)

public:
    static constexpr int kHeight = 45;
    static constexpr int kMinWidth = 220;

    // What the box shows of a service.
    struct Content
    {
        bool found = false;
        int lcn = 0;
        QString name;
        bool scrambled = false;
        bool blocked = false;
        bool streamingPossible = false;
        bool live = false;
        bool hasEvent = false;
        QString eventName;
        qint64 start = 0;
        qint64 end = 0;
    };

    // Where each element goes in a box of `size`.
    struct Layout
    {
        QRect infoButton;
        QRect number;
        QRect scrambled;
        QRect name;
        QRect blocked;
        QRect eventTime;
        QRect eventName;
        QRect duration;
        QRect noEvent;
    };

    CKelvoInfoBox(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent = nullptr);

    void SetService(int serviceKey);
    int Service() const { return m_service; }
    const Content& Shown() const { return m_content; }
    // The channel-information button: enabled once the selected service's playback started.
    void SetInfoEnabled(bool enabled);
    // The information button's action: the channel information, while the button is enabled.
    void ShowInfo();
    CKelvoButton* InfoButton() const { return m_info; }

    void RefreshContent() override;

    static Layout ComputeLayout(QSize size, bool scrambled);
    static Content ContentFor(const CQuarnDataModel& db, int serviceKey);
    // Whole minutes of an event within one day; -1 for an event that ends before it starts.
    static int DurationMinutes(qint64 start, qint64 end);
    // "HH:MM ~ HH:MM" in local time, and "N Min".
    static QString TimeText(qint64 start, qint64 end);
    static QString DurationText(qint64 start, qint64 end);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Outside a box operation, or when `evenWhileUpdating` (the reload is complete).
    void Reload(bool evenWhileUpdating = false);

    const CQuarnDataModel& m_db;
    CMainFrameMessages& m_messages;
    CKelvoButton* m_info = nullptr;
    int m_service = -1;
    Content m_content;
    Layout m_layout;
};
