#pragma once

#include "model/CScheduleElement.h"

#include <QObject>

// The messages that pages, views and bars send to the main frame when what they say carries data
// (a service, a timer, a volume); plain intents are commands (KelvoCommandIds.h) that their
// buttons are bound to. Senders never call each other or the frame: they emit one of these
// signals on the one instance they are given, and the frame, which connects them all, decides
// what happens. Records travel as values or service keys, so a receiver never holds a pointer into
// the channel database across a box operation.
class CMainFrameMessages final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrameMessages)

public:
    explicit CMainFrameMessages(QObject* parent = nullptr) : QObject(parent) {}

signals:
    void playService(int serviceKey);                    // UM_PLAY_SERVICE
    void showGuide(int serviceKey);                      // UM_SHOW_GUIDE
    void editSchedule(const CScheduleElement& schedule); // UM_EDIT_SCHEDULE (a copy; nothing to free)
    void closeScheduleEdit();                            // UM_CLOSE_SCHEDULE_EDIT
    void setSchedule(const CScheduleElement& schedule);  // UM_SET_SCHEDULE
    void setVolume(int volume);                          // UM_SET_VOLUME
    // Opens the channel information dialog for a service (the information box's button).
    void showChannelInfo(int serviceKey);
};
