#include "app/CBoxController.h"
#include "app/CKelvoAppOptions.h"
#include "app/CKelvoMessageBox.h"
#include "app/CMainFrame.h"
#include "app/CPlaybackController.h"
#include "app/settings/CKelvoAppState.h"
#include "app/testing/CKelvoTestProbe.h"
#include "app/testing/KelvoTestSeams.h"
#include "commands/KelvoCommandIds.h"
#include "model/CQuarnDataModel.h"
#include "player/CMediaPlayer.h"
#include "views/channel/CKelvoChannelListBox.h"
#include "views/channel/CKelvoPageChannel.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoViewEPG.h"
#include "views/schedule/CKelvoPageSchedule.h"
#include "views/schedule/CKelvoScheduleListBox.h"

#include <QFile>

namespace {

CKelvoEPGListBox* GuideList(const CMainFrame& frame)
{
    return static_cast<CKelvoViewEPG*>(frame.View(Kelvo::ViewGuide))->List();
}

} // namespace

namespace KelvoTestSeams {

void LogMessagesTo(const QString& path)
{
    CKelvoMessageBox::SetSink([path](const QString& caption, const QString& text) {
        QFile file(path);
        if (file.open(QIODevice::Append | QIODevice::Text))
            file.write((caption + QLatin1Char('|') + text + QLatin1Char('\n')).toUtf8());
        return true;
    });
}

void FromEnvironment(CKelvoAppOptions& options)
{
    if (const QString log = qEnvironmentVariable("KELVO_MESSAGE_LOG"); !log.isEmpty())
        LogMessagesTo(log);
    // The demo box announces itself on loopback inside a private network namespace.
    if (qEnvironmentVariable("KELVO_DISCOVERY") == QLatin1String("loopback"))
        options.discovery = DiscoveryScope::Loopback;
    if (const QString socket = qEnvironmentVariable("KELVO_PROBE"); !socket.isEmpty()) {
        options.frameBuilt = [socket](IKelvoApplication& app, CMainFrame& frame) {
            AddFrameCommands(*new CKelvoTestProbe(socket, &frame), app, frame);
        };
    }
}

void AddFrameCommands(CKelvoTestProbe& probe, IKelvoApplication& app, CMainFrame& frame)
{
    probe.AddCommand(QStringLiteral("state"), [&app, &frame](const QStringList&) {
        const CQuarnDataModel& db = app.Database();
        return QStringLiteral("uiMode=%1 displayMode=%2 view=%3 fullScreen=%4 volume=%5 mute=%6 streaming=%7 "
                              "pending=%8 playing=%9 busy=%10 services=%11 schedules=%12 maximized=%13 "
                              "mediaType=%14 popup=%15")
            .arg(app.State().uiMode)
            .arg(app.State().displayMode)
            .arg(frame.CurrentView())
            .arg(app.State().fullScreen)
            .arg(app.State().volume)
            .arg(app.State().mute)
            .arg(app.State().streamingService)
            .arg(app.Playback().PendingService())
            .arg(app.MediaPlayer().IsPlaying() ? 1 : 0)
            .arg(app.Box().IsBusy() ? 1 : 0)
            .arg(db.Services().size())
            .arg(db.Schedules().size())
            .arg(frame.IsWindowMaximized() ? 1 : 0)
            .arg(app.State().mediaType)
            .arg(frame.IsChannelPopupShown() ? 1 : 0);
    });
    probe.AddCommand(QStringLiteral("guiderow"), [&frame](const QStringList& args) -> QString {
        const EPGRow* row = GuideList(frame)->Rows().At(args.value(0).toInt());
        return row ? QStringLiteral("%1 %2 %3").arg(row->eventId).arg(row->start).arg(row->end) : QString();
    });
    probe.AddCommand(QStringLiteral("guidepart"), [&frame](const QStringList& args) -> QString {
        CKelvoEPGListBox* list = GuideList(frame);
        const QRect r = list->PartRect(args.value(0).toInt(), args.value(1).toInt());
        if (r.isEmpty() || !list->isVisible())
            return {};
        const QPoint topLeft = list->mapToGlobal(r.topLeft());
        return QStringLiteral("%1 %2 %3 %4").arg(topLeft.x()).arg(topLeft.y()).arg(r.width()).arg(r.height());
    });
    probe.AddCommand(QStringLiteral("schedulerow"), [&frame](const QStringList& args) -> QString {
        const auto& rows = frame.SchedulePage().List()->Rows().Rows();
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
    probe.AddCommand(QStringLiteral("servicekey"), [&frame](const QStringList& args) -> QString {
        // The key of a row of the channel list, so that a journey knows what it double-clicked.
        bool ok = false;
        const int row = args.value(0).toInt(&ok);
        const int key = ok ? frame.ChannelPage().List()->KeyAt(row) : -1;
        return key >= 0 ? QString::number(key) : QString();
    });
}

} // namespace KelvoTestSeams
