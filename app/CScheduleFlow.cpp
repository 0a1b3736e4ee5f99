#include "app/CScheduleFlow.h"

#include "app/CBoxController.h"
#include "app/CKelvoMessageBox.h"
#include "app/settings/CKelvoAppState.h"
#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "res/CStringTable.h"
#include "views/guide/CKelvoViewEPG.h"
#include "views/schedule/CKelvoPageSchedule.h"
#include "views/schedule/CKelvoViewSchedule.h"
#include "views/schedule/CKelvoViewScheduleEdit.h"

#include <QWidget>

using namespace Kelvo;

CScheduleFlow::CScheduleFlow(const Views& views, const Modes& modes, CBoxController& box,
                             CKelvoAppState& state, QWidget* owner)
    : QObject(owner), m_views(views), m_modes(modes), m_box(box), m_state(state)
{
    const auto uiMode = [this] { return m_state.uiMode; };
    m_views.page.SetUiModeQuery(uiMode);
    m_views.page.SetLastStreamingService([this] { return m_state.lastStreamingService; });
    m_views.edit.SetUiModeQuery(uiMode);
    m_views.edit.SetDeleteConfirmation([owner] {
        return CKelvoMessageBox::Ask(owner, CStringTable::Get(CStringTable::IDS_CONFIRM_DELETE),
                                     CStringTable::Get(CStringTable::IDS_CONFIRM_DELETE_TEXT));
    });
    m_views.edit.SetNotice([owner](const QString& caption, const QString& text) {
        CKelvoMessageBox::Show(owner, caption, text);
    });
    connect(&m_box, &CBoxController::schedulesChanged, &m_views.guide, &CKelvoViewEPG::RefreshContent);
}

void CScheduleFlow::Connect(CMainFrameMessages& m)
{
    connect(&m, &CMainFrameMessages::showGuide, this, &CScheduleFlow::ShowGuide);
    connect(&m, &CMainFrameMessages::editSchedule, this, &CScheduleFlow::EditSchedule);
    connect(&m, &CMainFrameMessages::closeScheduleEdit, this, &CScheduleFlow::CloseScheduleEdit);
    connect(&m, &CMainFrameMessages::setSchedule, this, &CScheduleFlow::SetSchedule);
}

void CScheduleFlow::OnReloaded()
{
    // Its guide was loaded anew with the reload: back to the box's day, or to no service when the
    // reload no longer has it.
    if (!m_box.Database().FindService(m_guideService))
        m_guideService = -1;
    m_views.guide.SetService(m_guideService);
}

void CScheduleFlow::ShowGuide(int serviceKey)
{
    // Set first: a reload that the mode change runs loads this service's guide with it.
    m_guideService = serviceKey;
    const CUiLayout layout = m_modes.apply(UiTrigger::ShowGuide);
    // Otherwise the guide is loaded after the mode change, as the user sees the view it belongs to.
    if (!layout.refresh)
        m_box.LoadGuide(serviceKey);
    m_views.guide.SetService(m_box.Database().FindService(serviceKey) ? serviceKey : -1);
    m_views.guide.ScrollToNow();
}

void CScheduleFlow::EditSchedule(const CScheduleElement& schedule)
{
    if (schedule.seriesId < 0) {
        m_views.schedule.ClearMembers();
        if (m_views.edit.Load(schedule))
            m_modes.set(m_state.uiMode, ViewScheduleEdit);
        return;
    }
    m_views.schedule.FillMembers(schedule);
    m_modes.apply(UiTrigger::ModeSchedule);
}

void CScheduleFlow::CloseScheduleEdit()
{
    if (m_state.uiMode == ModeChannel) {
        m_modes.apply(UiTrigger::CloseEditChannel);
    } else if (m_state.uiMode == ModeSchedule) {
        m_views.page.RefreshContent();
        m_modes.set(ModeSchedule, ViewSchedule);
    }
}

int CScheduleFlow::SetSchedule(const CScheduleElement& schedule)
{
    // A copy: the sender's record may change or go while the box is asked.
    const CScheduleElement copy = schedule;
    const int rc = m_box.SetSchedule(copy);
    if (rc != 0)
        return rc;
    if (m_state.uiMode == ModeSchedule) {
        m_views.page.RefreshContent();
        m_modes.set(ModeSchedule, ViewSchedule);
    } else {
        m_views.guide.SetEventId(copy.eventId);
        m_modes.apply(UiTrigger::ShowGuide);
    }
    return 0;
}
