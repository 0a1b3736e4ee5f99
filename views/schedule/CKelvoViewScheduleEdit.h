#pragma once

#include "model/CScheduleElement.h"
#include "ui/CKelvoFrameImpl.h"
#include "ui/CKelvoView.h"
#include "views/schedule/CScheduleRows.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

class CKelvoButton;
class CKelvoComboBox;
class CMainFrameMessages;
class CNxStatic;
class CQuarnDataModel;
class CScheduleCaption;
class CScheduleDurationEdit;
class CScheduleServiceCaption;
class QDateEdit;
class QPushButton;
class QTimeEdit;

// View 3 of the main window: one timer's service, type, mode, start and duration, with Save,
// Delete and Cancel. It edits a working copy; the main frame sends what it hands over to the box.
class CKelvoViewScheduleEdit final : public QWidget, public CKelvoView
{
    Q_OBJECT
public:
    // Chooses a service with the given one preselected (-1 none); the chosen key, or -1 when the
    // user cancelled.
    using ServicePicker = std::function<int(int preselectedKey)>;
    // Asks whether the timer is really to be deleted.
    using DeleteConfirmation = std::function<bool()>;
    // Tells the user why a timer cannot be edited (caption, text).
    using Notice = std::function<void(const QString& caption, const QString& text)>;

    // Control ids of the form's template, for tests and the window tree.
    enum ControlId
    {
        IDC_SERVICE_CAPTION = 1040,
        IDC_EVENT_NAME = 1041,
        IDC_EVENT_TIMES = 1042,
        IDC_SERVICE = 1051,
        IDC_TYPE = 1052,
        IDC_MODE = 1053,
        IDC_START_DATE = 1054,
        IDC_START_TIME = 1056,
        IDC_DURATION = 1058,
        IDC_END_TIME = 1059,
        IDC_DELETE = 1062,
        IDC_SAVE = 1064,
        IDC_CANCEL = 1066
    };

    // boxTime is accepted for symmetry with the page; the form itself never needs "now".
    // The service chooser opens CKelvoDlgChannelListSimple; Delete asks with a question box.
    CKelvoViewScheduleEdit(const CQuarnDataModel& db, CMainFrameMessages& messages,
                           std::function<qint64()> boxTime, QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoViewScheduleEdit)

    // Loads a copy of the schedule into the form. Refuses (false, the form unchanged) a timer that
    // ends before it starts or lasts longer than the duration control reaches: the reason goes to
    // `why`, or, without it, to the user through the notice once the current event is handled.
    bool Load(const CScheduleElement& schedule, QString* why = nullptr);
    const CScheduleElement& WorkingRecord() const { return m_work; }

    // The current user-interface mode; the back button shows only in the channel mode (0), where
    // the form was opened from the program guide.
    void SetUiModeQuery(std::function<int()> mode) { m_uiMode = std::move(mode); }
    // Replace the simple service list dialog, the question box and the message box (tests, or
    // the application's own message boxes).
    void SetServicePicker(ServicePicker picker) { m_picker = std::move(picker); }
    void SetDeleteConfirmation(DeleteConfirmation confirm) { m_confirmDelete = std::move(confirm); }
    void SetNotice(Notice notice) { m_notice = std::move(notice); }

    // The view caption bar's content while this view is current: the back button and "Timer Edit".
    QWidget* CaptionContent() const override;

    // The record Save would send now.
    CScheduleElement RecordFromControls() const;

    // Public for tests: the buttons' actions. Save tells the user through the notice, and sends
    // nothing, while Type or Mode has no choice.
    void Save();
    void Delete();
    void Cancel();
    void ChooseService();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void CreateControls();
    void RecordPositions();
    void Layout();
    void ShowService(int key);
    void UpdateEndLabel();
    ScheduleEdit::Times ShownTimes() const;

    const CQuarnDataModel& m_db;
    CMainFrameMessages& m_messages;
    std::function<int()> m_uiMode;
    ServicePicker m_picker;
    DeleteConfirmation m_confirmDelete;
    Notice m_notice;
    CKelvoFrameImpl m_frame;

    CScheduleElement m_work;
    // Counts loads: a dialog's or question's own event loop may see the form loaded anew, and
    // its answer then belongs to a timer the form no longer shows.
    quint64 m_loads = 0;
    ScheduleEdit::Times m_loadedTimes;
    int m_serviceKey = -1; // the service the form shows, -1 none

    CScheduleServiceCaption* m_serviceCaption = nullptr;
    CNxStatic* m_eventName = nullptr;
    CNxStatic* m_eventTimes = nullptr;
    QPushButton* m_service = nullptr;
    CKelvoComboBox* m_type = nullptr;
    CKelvoComboBox* m_mode = nullptr;
    QDateEdit* m_startDate = nullptr;
    QTimeEdit* m_startTime = nullptr;
    CScheduleDurationEdit* m_duration = nullptr;
    CNxStatic* m_endTime = nullptr;
    CKelvoButton* m_delete = nullptr;
    CKelvoButton* m_save = nullptr;
    CKelvoButton* m_cancel = nullptr;
    QPointer<CScheduleCaption> m_caption;

    struct Placed
    {
        QWidget* w;
        QPoint pos;
    };
    std::vector<Placed> m_placed;
    QSize m_block;
};
