#pragma once

#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoView.h"

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <functional>

class CKelvoButton;
class CKelvoEPGCaption;
class CKelvoEPGListBox;
class CMainFrameMessages;
class CNxButton;
class CQuarnDataModel;
struct CGuideElement;

// The program guide of one service, one local day at a time, with buttons for the day before and
// after. It reads the database's guide record, which the frame loads before it calls SetService;
// it never talks to the box: play, record and remove go out as the frame's messages.
class CKelvoViewEPG final : public QWidget, public CKelvoView
{
    Q_OBJECT
public:
    static constexpr int kDateWidth = 200;
    static constexpr int kCaptionHeight = 38;

    // `boxTime` gives now on the box's clock (this computer's time plus the protocol client's
    // clock offset); it decides the running event and which events have ended.
    CKelvoViewEPG(const CQuarnDataModel& db, CMainFrameMessages& messages, std::function<qint64()> boxTime,
                  QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoViewEPG)

    // Shows the guide of a service (its key; -1 for none) from the database's guide record, on
    // the box's day of that guide. False when the guide record does not hold this service's
    // guide (its load failed): the list is then empty, the date not drawn and the day buttons
    // do nothing, whatever the list showed before.
    bool SetService(int serviceKey);
    // Scrolls the first event that has not ended into view (after the view was shown).
    void ScrollToNow();
    // The box has just stored or removed the schedule of this event: redraw its row.
    void SetEventId(int eventId);
    // Stops the running event's progress updates (another view is shown).
    void StopProgressTimer();
    void Deactivate() override { StopProgressTimer(); }

    // Back button and caption, 38 pixels high and transparent; the frame shows it in the view
    // caption bar while this view is shown.
    QWidget* CaptionContent() const override { return m_captionContent; }

    int ServiceKey() const { return m_serviceKey; }
    // A moment of the day shown, 0 when no guide is shown.
    qint64 Day() const { return m_day; }
    QRect DateRect() const { return m_dateRect; }
    CKelvoEPGListBox* List() const { return m_list; }
    CKelvoEPGCaption* Caption() const { return m_caption; }
    CNxButton* BackButton() const { return m_back; }
    CKelvoButton* PrevDayButton() const { return m_prevDay; }
    CKelvoButton* NextDayButton() const { return m_nextDay; }

public slots:
    // Re-reads the shown day from the database, keeping the scroll position.
    void RefreshContent() override;
    void ShowPrevDay();
    void ShowNextDay();

protected:
    // Around a box operation that changes the database: nothing of it is read in between.
    void OnBeginUpdate() override;
    void OnEndUpdate() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The database's guide record while it still holds the guide this view shows, else none.
    const CGuideElement* ShownGuide() const;
    void StepDay(int days);
    void Layout();
    void PlaceCaption();

    const CQuarnDataModel& m_db;
    std::function<qint64()> m_boxTime;
    CKelvoFrameImpl m_frame;
    int m_serviceKey = -1;
    bool m_hasGuide = false;
    int m_guideType = -1;
    int m_guideIdx = -1;
    qint64 m_day = 0;
    int m_bandHeight = 26;
    QRect m_dateRect;
    CKelvoButton* m_prevDay = nullptr;
    CKelvoButton* m_nextDay = nullptr;
    CKelvoEPGListBox* m_list = nullptr;
    QPointer<QWidget> m_captionContent;
    CNxButton* m_back = nullptr;
    CKelvoEPGCaption* m_caption = nullptr;
};
