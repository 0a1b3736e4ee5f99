#pragma once

#include "model/IBusyObserver.h"

#include <QObject>
#include <QString>

class CQuarnDataModel;
class CQuarnWrapper;
class CScheduleElement;

// The only user-interface object that runs box operations. It holds the busy state, turns result
// codes into the texts of the string table, and tells everyone what changed. Views never ask the
// box themselves: they read the database and react to these signals.
//
// Every operation waits for the box in a nested event loop, so anything may happen meanwhile;
// `updateBegins` goes out before the database can change and `updateEnds` after it is consistent
// again, so that views stop using records in between.
class CBoxController final : public QObject, private IBusyObserver
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CBoxController)

public:
    CBoxController(CQuarnDataModel& db, CQuarnWrapper& wrapper, QObject* parent = nullptr);
    ~CBoxController() override;

    const CQuarnDataModel& Database() const { return m_db; }
    bool IsBusy() const { return m_busyDepth > 0; }

    // The box's clock: this computer's time plus the offset the last reply told.
    qint64 BoxTime() const;

    // A full reload (services, favourite groups, schedules, status), then the guide of
    // `guideService` when the reload still has that service (-1: no guide). Shows "Service update
    // failed" on failure.
    bool Reload(int guideService = -1);
    // The guide of one service; false and nothing changed in the views when it failed.
    bool LoadGuide(int serviceKey);
    // Sends a schedule; shows the box's refusal. Returns the result code.
    int SetSchedule(const CScheduleElement& schedule);
    // Asks the box to stream a service; on success `mediaAddress` receives the address the media
    // player opens for it, as the settings were when the box was asked. The result code is
    // returned, not shown: the caller first puts the player back in order, then reports it with
    // ReportStartFailure.
    int StartStreaming(int serviceKey, QString* mediaAddress);
    void ReportStartFailure(int code);
    // Asks the box to stop streaming; a failure is shown when `report`.
    int StopStreaming(bool report = true);
    // Deliberately outside the busy state: keys must reach the box while another request waits.
    bool SendRemoteKey(int key, bool repeat);
    // At exit while the box streams: short limit, outcome ignored.
    void QuickStopStreaming();
    // Forget what was learnt from the previous box, so that the next request asks it again.
    void ForgetBox();

signals:
    void updateBegins();
    void updateEnds();
    void reloaded(bool ok);
    void schedulesChanged();
    void busyChanged(bool busy);
    // A failure to show to the user, with the caption and the text from the string table.
    void failure(const QString& caption, const QString& text);

private:
    void BeginBusy() override;
    void EndBusy() override;
    void Fail(int captionId, int textId);
    void FailResult(int captionId, int code, int first, int last);

    CQuarnDataModel& m_db;
    CQuarnWrapper& m_wrapper;
    int m_busyDepth = 0;
};
