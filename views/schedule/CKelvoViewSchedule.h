#pragma once

#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoView.h"

#include <QPointer>
#include <QWidget>

class CKelvoSeriesListBox;
class CMainFrameMessages;
class CQuarnDataModel;
class CScheduleCaption;
class CScheduleElement;

// View 2 of the main window: the series list of the schedule selected in "My Schedule".
class CKelvoViewSchedule final : public QWidget, public CKelvoView
{
    Q_OBJECT
public:
    CKelvoViewSchedule(const CQuarnDataModel& db, CMainFrameMessages& messages, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoViewSchedule)

    void FillMembers(const CScheduleElement& seriesEntry);
    void ClearMembers();
    // The series' members were copies of records that a reload replaced.
    void RefreshContent() override { ClearMembers(); }
    // The view caption bar's content while this view is current: the title "Schedule Setting".
    QWidget* CaptionContent() const override;
    CKelvoSeriesListBox* List() const { return m_list; }

protected:
    void OnBeginUpdate() override;
    void OnEndUpdate() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void Layout();

    CKelvoFrameImpl m_frame;
    CKelvoSeriesListBox* m_list = nullptr;
    QPointer<CScheduleCaption> m_caption;
};
