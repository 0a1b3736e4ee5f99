#pragma once

#include "app/CUiModeTable.h"

#include <QObject>
#include <functional>

class CBoxController;
class CKelvoPageSchedule;
class CKelvoViewEPG;
class CKelvoViewSchedule;
class CKelvoViewScheduleEdit;
class CMainFrameMessages;
class CScheduleElement;
class QWidget;
struct CKelvoAppState;

// What passes between the program guide, My Schedule and the timer form: whose guide shows, which
// timer the form edits, and where a saved or closed form leads. It keeps the one value this needs
// between operations (the guide's service) and changes mode through the frame's own calls.
class CScheduleFlow final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CScheduleFlow)

public:
    struct Views
    {
        CKelvoViewEPG& guide;
        CKelvoViewSchedule& schedule;
        CKelvoViewScheduleEdit& edit;
        CKelvoPageSchedule& page;
    };
    // The frame's mode changes: by trigger (returning the layout applied) and by mode and view.
    struct Modes
    {
        std::function<Kelvo::CUiLayout(Kelvo::UiTrigger)> apply;
        std::function<void(int mode, int view)> set;
    };

    // `owner`: the window the form's questions and notices belong to.
    CScheduleFlow(const Views& views, const Modes& modes, CBoxController& box, CKelvoAppState& state,
                  QWidget* owner);

    // Takes the guide's and the timers' messages from here on.
    void Connect(CMainFrameMessages& messages);

    // The service whose guide the guide view shows or is about to show; -1 none. A reload loads
    // its guide again.
    int GuideService() const { return m_guideService; }
    // After a reload, before the views refresh: the guide shows its service's new guide, or none
    // when the reload no longer has the service.
    void OnReloaded();

private:
    void ShowGuide(int serviceKey);
    void EditSchedule(const CScheduleElement& schedule);
    void CloseScheduleEdit();
    int SetSchedule(const CScheduleElement& schedule);

    Views m_views;
    Modes m_modes;
    CBoxController& m_box;
    CKelvoAppState& m_state;
    int m_guideService = -1;
};
