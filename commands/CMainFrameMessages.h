#pragma once

#include "model/CScheduleElement.h"

#include <QObject>

// The messages that pages, views and bars send to the main frame. They never call each other or
// the frame: they emit one of these signals on the one instance they are given, and the frame,
// which connects them all, decides what happens. Records travel as values or service keys, so a
// receiver never holds a pointer into the channel database across a box operation.
class CMainFrameMessages final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CMainFrameMessages)

public:
    explicit CMainFrameMessages(QObject* parent = nullptr) : QObject(parent) {}

signals:
    void setDisplayMode(bool mini);                       // UM_SET_DISPLAY_MODE
    void playService(int serviceKey);                     // UM_PLAY_SERVICE
    void showGuide(int serviceKey);                       // UM_SHOW_GUIDE
    void editSchedule(const CScheduleElement& schedule);  // UM_EDIT_SCHEDULE (a copy; nothing to free)
    void closeScheduleEdit();                             // UM_CLOSE_SCHEDULE_EDIT
    void setSchedule(const CScheduleElement& schedule);   // UM_SET_SCHEDULE
    void nextService();                                   // UM_NEXT_SERVICE
    void prevService();                                   // UM_PREV_SERVICE
    void setVolume(int volume);                           // UM_SET_VOLUME
    void setMute(bool muted);                             // UM_SET_MUTE
    void toggleFullScreen();                              // UM_TOGGLE_FULL_SCREEN
    void toggleChannelPopup();                            // UM_TOGGLE_CHANNEL_POPUP
    // Opens the channel information dialog for a service (the information box's button).
    void showChannelInfo(int serviceKey);
};
