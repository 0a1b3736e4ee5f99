#include "app/CMainFrame.h"

#include "app/CBoxController.h"
#include "app/CKelvoTestProbe.h"
#include "app/CPlaybackController.h"
#include "app/bars/CKelvoLeftBar.h"
#include "app/bars/CKelvoWindowHandler.h"
#include "app/bars/CMainFrameCaptionBar.h"
#include "app/bars/CMiniFrameCaptionBar.h"
#include "app/bars/CViewCaptionBar.h"
#include "app/bars/CPopupFrame.h"
#include "app/settings/CKelvoAppState.h"
#include "app/CKelvoPlayerApp.h"
#include "model/CQuarnDataModel.h"
#include "player/CKelvoControlBar.h"
#include "player/CKelvoSATInfoBar.h"
#include "player/CKelvoViewPlayer.h"
#include "player/CMediaPlayer.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoEdit.h"
#include "ui/CNxButton.h"
#include "views/channel/CKelvoChannelListBox.h"
#include "views/channel/CKelvoPageChannel.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoViewEPG.h"
#include "views/schedule/CKelvoPageSchedule.h"
#include "views/schedule/CKelvoScheduleListBox.h"
#include "views/schedule/CKelvoViewSchedule.h"
#include "views/schedule/CKelvoViewScheduleEdit.h"
#include "views/settings/CKelvoViewSetting.h"

// What makes the frame observable from outside: names for the accessibility tree and the
// journey tests, and the probe's questions about the frame's state (only when KELVO_PROBE is set).

void CMainFrame::NameWidgets()
{
    // Names for the accessibility tree and for the whole-journey tests, which find what to click
    // by name.
    const std::pair<QWidget*, const char*> names[] = {
        {m_mainCaption, "mainCaption"},   {m_miniCaption, "miniCaption"},
        {m_leftBar, "leftBar"},           {m_satBar, "satBar"},
        {m_controlBar, "controlBar"},     {m_viewCaption, "viewCaption"},
        {m_channelPage, "channelPage"},   {m_schedulePage, "schedulePage"},
        {m_player, "playerView"},         {m_setting, "settingView"},
        {m_schedule, "scheduleView"},     {m_scheduleEdit, "scheduleEditView"},
        {m_guide, "guideView"},           {m_channelPage->List(), "ChannelList"},
        {m_channelPage->SearchBox(), "channelSearch"}, {m_channelPage->TvButton(), "channelTv"},
        {m_channelPage->RadioButton(), "channelRadio"}, {m_channelPage->RefreshButton(), "channelRefresh"},
        {m_channelPage->DockButton(), "channelDock"},  {m_guide->List(), "GuideList"},
        {m_schedulePage->List(), "ScheduleList"},       {m_player->GuideButton(), "PlayerGuideButton"},
        {m_guide->NextDayButton(), "GuideNextDay"},
    };
    for (const auto& [widget, name] : names) {
        if (widget && widget->objectName().isEmpty())
            widget->setObjectName(QLatin1String(name));
    }
}

void CMainFrame::AddProbeCommands(CKelvoTestProbe& probe)
{
    probe.AddCommand(QStringLiteral("state"), [this](const QStringList&) {
        const CQuarnDataModel& db = m_app.Database();
        return QStringLiteral("uiMode=%1 displayMode=%2 view=%3 fullScreen=%4 volume=%5 mute=%6 streaming=%7 "
                              "pending=%8 playing=%9 busy=%10 services=%11 schedules=%12 maximized=%13 "
                              "mediaType=%14 popup=%15")
            .arg(m_state.uiMode)
            .arg(m_state.displayMode)
            .arg(CurrentView())
            .arg(m_state.fullScreen)
            .arg(m_state.volume)
            .arg(m_state.mute)
            .arg(m_state.streamingService)
            .arg(m_playback->PendingService())
            .arg(m_player->MediaPlayer().IsPlaying() ? 1 : 0)
            .arg(m_box.IsBusy() ? 1 : 0)
            .arg(db.Services().size())
            .arg(db.Schedules().size())
            .arg(m_window->IsMaximized() ? 1 : 0)
            .arg(m_state.mediaType)
            .arg(m_popup && m_popup->isVisible() ? 1 : 0);
    });
    probe.AddCommand(QStringLiteral("guiderow"), [this](const QStringList& args) -> QString {
        const EPGRow* row = m_guide->List()->Rows().At(args.value(0).toInt());
        return row ? QStringLiteral("%1 %2 %3").arg(row->eventId).arg(row->start).arg(row->end) : QString();
    });
    probe.AddCommand(QStringLiteral("guidepart"), [this](const QStringList& args) -> QString {
        CKelvoEPGListBox* list = m_guide->List();
        const QRect r = list->PartRect(args.value(0).toInt(), args.value(1).toInt());
        if (r.isEmpty() || !list->isVisible())
            return {};
        const QPoint topLeft = list->mapToGlobal(r.topLeft());
        return QStringLiteral("%1 %2 %3 %4").arg(topLeft.x()).arg(topLeft.y()).arg(r.width()).arg(r.height());
    });
    probe.AddCommand(QStringLiteral("schedulerow"), [this](const QStringList& args) -> QString {
        const auto& rows = m_schedulePage->List()->Rows().Rows();
        const int index = args.value(0).toInt();
        if (index < 0 || index >= static_cast<int>(rows.size()))
            return {};
        const CScheduleElement& s = rows[static_cast<size_t>(index)].schedule;
        return QStringLiteral("new=%1 id=%2 eventId=%3 type=%4 start=%5 end=%6")
            .arg(rows[static_cast<size_t>(index)].isNew ? 1 : 0)
            .arg(s.id)
            .arg(s.eventId)
            .arg(s.type)
            .arg(s.start)
            .arg(s.end);
    });
    probe.AddCommand(QStringLiteral("servicekey"), [this](const QStringList& args) -> QString {
        // The key of a row of the channel list, so that a journey knows what it double-clicked.
        bool ok = false;
        const int row = args.value(0).toInt(&ok);
        const int key = ok ? m_channelPage->List()->KeyAt(row) : -1;
        return key >= 0 ? QString::number(key) : QString();
    });
}
