#include "AppTestSupport.h"
#include "app/CBoxController.h"
#include "app/CKelvoCommandTable.h"
#include "app/CPlaybackController.h"
#include "app/CViewRegistry.h"
#include "app/bars/CMainFrameCaptionBar.h"
#include "app/bars/CMiniFrameCaptionBar.h"
#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoConnection.h"
#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "model/CQuarnDataModel.h"
#include "player/CKelvoControlBar.h"
#include "rcu/KelvoRCU.h"
#include "rcu/KelvoRCUKeys.h"
#include "ui/CKelvoView.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoViewEPG.h"
#include "views/schedule/CKelvoPageSchedule.h"
#include "views/schedule/CKelvoScheduleListBox.h"
#include "views/schedule/CKelvoViewScheduleEdit.h"
#include "views/settings/CKelvoIPAddressCtrl.h"
#include "views/settings/CKelvoViewSetting.h"

#include <QAbstractButton>
#include <QCursor>
#include <QDateEdit>
#include <QDateTime>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QLockFile>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace Kelvo;

namespace {

constexpr const char* kReload = "svc_list";

class MainFrameTest : public ::testing::Test
{
protected:
    void Start(int port)
    {
        env.WriteBoxSettings(port);
        app = std::make_unique<CKelvoPlayerApp>(env.SettingsPath());
        ASSERT_TRUE(app->InitInstance());
        Settle();
    }
    CMainFrame& Frame() { return *app->Frame(); }
    bool Shown(CMainFrame::Bar bar) { return Frame().BarWidget(bar)->isVisible(); }
    // The view caption bar shows the current view's strip and nothing else.
    bool ShowsOnlyTheCurrentCaption()
    {
        QWidget* bar = Frame().BarWidget(CMainFrame::ViewCaption);
        auto* view = dynamic_cast<CKelvoView*>(Frame().View(Frame().CurrentView()));
        QWidget* strip = view ? view->CaptionContent() : nullptr;
        for (QWidget* child : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (child->isVisibleTo(bar) != (child == strip))
                return false;
        return true;
    }

    AppTestEnvironment env;
    DemoBoxProcess box{{"--no-ffmpeg", "--no-upnp", "--services", "40"}};
    std::unique_ptr<CKelvoPlayerApp> app;
};

} // namespace

TEST_F(MainFrameTest, FirstRunOpensTheSettingFormAtMinimumSizeWithoutAskingTheBox)
{
    ASSERT_TRUE(box.ok());
    ClearBoxLog(box.port());
    Start(0);
    EXPECT_EQ(app->State().uiMode, ModeSetting);
    EXPECT_EQ(Frame().CurrentView(), ViewSetting);
    EXPECT_FALSE(Shown(CMainFrame::LeftBar));
    EXPECT_FALSE(Shown(CMainFrame::SatBar));
    EXPECT_FALSE(Shown(CMainFrame::ControlBar));
    EXPECT_TRUE(Shown(CMainFrame::MainCaption));
    EXPECT_EQ(Frame().size(), QSize(1022, 688));
    EXPECT_EQ(app->State().volume, 100);
    EXPECT_FALSE(app->State().mute);
    EXPECT_EQ(Count(BoxLog(box.port()), "/qnql"), 0);
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

TEST_F(MainFrameTest, StripsHaveTheirPixelSizesInEachMode)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    Frame().resize(1200, 800);
    Settle();
    auto geo = [&](CMainFrame::Bar bar) { return Frame().BarWidget(bar)->geometry(); };
    EXPECT_EQ(geo(CMainFrame::MainCaption), QRect(1, 1, 1198, 119));
    EXPECT_EQ(geo(CMainFrame::LeftBar), QRect(1, 120, 321, 679));
    EXPECT_EQ(geo(CMainFrame::ViewCaption), QRect(322, 120, 877, 38));
    EXPECT_EQ(geo(CMainFrame::SatBar), QRect(322, 799 - 86, 877, 86));
    EXPECT_EQ(geo(CMainFrame::ControlBar), QRect(322, 799 - 86 - 58, 877, 58));
    EXPECT_EQ(Frame().View(ViewPlayer)->geometry(), QRect(322, 158, 877, 799 - 86 - 58 - 158));
    Frame().grab().save(env.Dir() + QStringLiteral("/channel.png"));

    Frame().Commands().Trigger(ID_MINI_PLAYER);
    Settle();
    EXPECT_EQ(Frame().minimumSize(), QSize(342, 322));
    EXPECT_TRUE(Shown(CMainFrame::MiniCaption));
    EXPECT_FALSE(Shown(CMainFrame::MainCaption));
    EXPECT_FALSE(Shown(CMainFrame::LeftBar));
    EXPECT_TRUE(Shown(CMainFrame::ControlBar));
    Frame().resize(342, 322);
    Settle();
    const int mini = Frame().BarWidget(CMainFrame::MiniCaption)->height();
    EXPECT_EQ(geo(CMainFrame::ControlBar), QRect(1, 321 - 58, 340, 58));
    EXPECT_EQ(Frame().View(ViewPlayer)->geometry(), QRect(1, 1 + mini, 340, 320 - mini - 58));

    // Back to normal: the window grows to the normal minimum.
    Frame().Commands().Trigger(ID_NORMAL_PLAYER);
    Settle();
    EXPECT_GE(Frame().width(), 1022);
    EXPECT_GE(Frame().height(), 688);
    EXPECT_EQ(app->State().uiMode, ModeChannel);
}

TEST_F(MainFrameTest, ModeCommandsSwitchViewsAndReloadOnlyWhereTheTableSays)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    ASSERT_EQ(Count(BoxLog(box.port()), kReload), 1) << "start-up reloads once";
    ASSERT_FALSE(app->Database().Services().empty());

    struct Step
    {
        int command;
        int mode;
        int view;
        bool reload;
    };
    const Step steps[] = {
        {ID_MODE_CHANNEL, ModeChannel, ViewPlayer, false}, // already there
        {ID_MODE_SETTING, ModeSetting, ViewSetting, false},
        {ID_MODE_CHANNEL, ModeChannel, ViewPlayer, true},
        {ID_MODE_SCHEDULE, ModeSchedule, ViewSchedule, true},
        {ID_MODE_SCHEDULE, ModeSchedule, ViewSchedule, false},
        {ID_GUIDE_TV, ModeChannel, ViewPlayer, true},
        {ID_CHANNEL_REFRESH, ModeChannel, ViewPlayer, true},
    };
    for (const Step& s : steps) {
        ClearBoxLog(box.port());
        ASSERT_TRUE(Frame().Commands().Trigger(s.command)) << s.command;
        Settle();
        EXPECT_EQ(app->State().uiMode, s.mode) << s.command;
        EXPECT_EQ(Frame().CurrentView(), s.view) << s.command;
        EXPECT_EQ(Count(BoxLog(box.port()), kReload), s.reload ? 1 : 0) << s.command;
        const bool channel = s.mode == ModeChannel;
        EXPECT_EQ(Shown(CMainFrame::SatBar), channel && s.view == ViewPlayer) << s.command;
        EXPECT_EQ(Shown(CMainFrame::LeftBar), s.mode != ModeSetting) << s.command;
        EXPECT_EQ(
            static_cast<CMainFrameCaptionBar*>(Frame().BarWidget(CMainFrame::MainCaption))->CheckedMode(),
            s.mode)
            << s.command;
    }
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

// A view of its own, joined to the frame by one registration: shown in the views' area with its
// caption strip, told when it is shown and left, and bracketed by a reload like the frame's own.
TEST_F(MainFrameTest, AViewRegisteredWithTheFrameIsShownAndBracketedLikeItsOwn)
{
    struct ExtraView : QWidget, CKelvoView
    {
        explicit ExtraView(QWidget* parent) : QWidget(parent), caption(new QWidget(this)) {}
        QWidget* CaptionContent() const override { return caption; }
        void Activate() override { ++activated; }
        void Deactivate() override { ++deactivated; }
        void RefreshContent() override { refreshedWhileUpdating += IsUpdating() ? 1 : 0; }
        void OnBeginUpdate() override { ++begun; }
        QWidget* caption;
        int activated = 0, deactivated = 0, begun = 0, refreshedWhileUpdating = 0;
    };
    constexpr int kExtra = ViewCount + 1;
    ASSERT_TRUE(box.ok());
    Start(box.port());
    Frame().resize(1100, 760);
    Settle();
    ASSERT_EQ(Frame().CurrentView(), ViewPlayer);
    const QRect viewArea = Frame().View(ViewPlayer)->geometry();
    auto* extra = Frame().Views().Add(kExtra, new ExtraView(&Frame()));
    EXPECT_FALSE(extra->isVisible());
    EXPECT_EQ(extra->caption->parentWidget(), Frame().BarWidget(CMainFrame::ViewCaption));

    Frame().SwitchView(kExtra);
    Settle();
    EXPECT_EQ(Frame().CurrentView(), kExtra);
    EXPECT_TRUE(extra->isVisible());
    EXPECT_FALSE(Frame().View(ViewPlayer)->isVisible());
    EXPECT_EQ(extra->geometry(), viewArea);
    EXPECT_TRUE(extra->caption->isVisible());
    EXPECT_EQ(extra->activated, 1);

    ASSERT_TRUE(Frame().RefreshFromBox());
    Settle();
    EXPECT_EQ(extra->begun, 1);
    EXPECT_EQ(extra->refreshedWhileUpdating, 1) << "the reload's content, inside its bracket";
    EXPECT_FALSE(extra->IsUpdating());

    ASSERT_TRUE(Frame().Commands().Trigger(ID_MODE_CHANNEL));
    Settle();
    EXPECT_EQ(Frame().CurrentView(), ViewPlayer);
    EXPECT_FALSE(extra->isVisible());
    EXPECT_FALSE(extra->caption->isVisible());
    EXPECT_EQ(extra->deactivated, 1);
}

TEST_F(MainFrameTest, ShowGuideLoadsTheServicesGuideInTheChannelMode)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const int key = app->Database().Services().front()->key;
    ClearBoxLog(box.port());
    // The user sees the view the guide belongs to while it loads.
    std::vector<int> viewsWhileLoading;
    QObject::connect(&app->Box(), &CBoxController::updateBegins, &Frame(),
                     [&] { viewsWhileLoading.push_back(Frame().CurrentView()); });
    Frame().Messages().showGuide(key);
    Settle();
    EXPECT_EQ(viewsWhileLoading, std::vector<int>{ViewGuide});
    EXPECT_EQ(Frame().CurrentView(), ViewGuide);
    EXPECT_FALSE(Shown(CMainFrame::SatBar));
    EXPECT_EQ(Count(BoxLog(box.port()), "epg_info"), 1);
    EXPECT_EQ(Count(BoxLog(box.port()), kReload), 0);
}

// The reload empties the guide record: the guide shown is asked for once more, after the reload's
// own requests, and its rows come back.
TEST_F(MainFrameTest, RefreshWhileTheGuideIsShownLoadsItsGuideAgain)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const CServiceElement& service = *app->Database().Services().front();
    const int key = service.key;
    const std::string guideRequest =
        "q=epg_info&svc_type=" + std::to_string(service.type) + "&svc_idx=" + std::to_string(service.idx);
    Frame().Messages().showGuide(key);
    Settle();
    auto* guide = qobject_cast<CKelvoViewEPG*>(Frame().View(ViewGuide));
    ASSERT_NE(guide, nullptr);
    const int rows = guide->List()->GetCount();
    ASSERT_GT(rows, 0);

    ClearBoxLog(box.port());
    ASSERT_TRUE(Frame().Commands().Trigger(ID_CHANNEL_REFRESH));
    Settle();
    const std::string log = BoxLog(box.port());
    std::vector<std::string> lines;
    std::istringstream in(log);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    const auto reload = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
        return l.find(kReload) != std::string::npos;
    });
    ASSERT_NE(reload, lines.end()) << log;
    EXPECT_EQ(Count(log, "epg_info"), 1) << log;
    EXPECT_NE(lines.back().find(guideRequest), std::string::npos) << "the reload's requests, then the guide\n"
                                                                  << log;
    EXPECT_EQ(Frame().CurrentView(), ViewGuide);
    EXPECT_EQ(guide->ServiceKey(), key);
    EXPECT_EQ(guide->List()->GetCount(), rows);
    EXPECT_NE(guide->Day(), 0);
    EXPECT_TRUE(env.Messages().isEmpty()) << env.Messages().toStdString();
}

TEST_F(MainFrameTest, TheTimerFormReturnsWhereItWasOpenedFrom)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const CQuarnDataModel& db = app->Database();
    const CScheduleElement* single = nullptr;
    for (const auto& s : db.Schedules())
        if (s->seriesId < 0 && !single)
            single = s.get();
    ASSERT_NE(single, nullptr);
    // A copy: mode changes reload the database.
    const CScheduleElement existing = *single;
    const int serviceKey = (existing.svcType << 12) | existing.svcIdx;
    ASSERT_NE(db.FindService(serviceKey), nullptr);
    // New timers at night, weeks ahead, where the box has none.
    CScheduleElement fresh = existing;
    fresh.id = 0;
    fresh.mode = 1;
    fresh.start = QDateTime(QDate::currentDate().addDays(40), QTime(3, 0)).toSecsSinceEpoch();
    fresh.end = fresh.start + 1800;

    enum Action
    {
        Cancel,
        Save,
        Refused
    };
    struct Case
    {
        const char* name;
        int mode; // where the form was opened: the guide (channel mode) or the schedule list
        Action action;
        int view;
        const char* message;
    };
    constexpr int kEither = -1;
    const Case cases[] = {
        {"cancel, from the guide", ModeChannel, Cancel, ViewGuide, ""},
        {"save, from the guide", ModeChannel, Save, ViewGuide, ""},
        {"refused, from the guide", ModeChannel, Refused, ViewScheduleEdit,
         "Set Schedule Failure|Collision\n"},
        // Which of the list's views follows depends on the list's selection, kept across the refill.
        {"cancel, from the list", ModeSchedule, Cancel, kEither, ""},
        {"save, from the list", ModeSchedule, Save, kEither, ""},
        {"refused, from the list", ModeSchedule, Refused, ViewScheduleEdit,
         "Set Schedule Failure|Collision\n"},
    };
    auto* form = static_cast<CKelvoViewScheduleEdit*>(Frame().View(ViewScheduleEdit));
    auto* page = Frame().findChild<CKelvoPageSchedule*>();
    ASSERT_NE(page, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.mode == ModeChannel) {
            Frame().Messages().showGuide(serviceKey);
        } else {
            // The list's "+" row is selected, as when the user opens the form from the list.
            Frame().Commands().Trigger(ID_MODE_SCHEDULE);
            Settle();
            CKelvoScheduleListBox* list = page->List();
            const int plus = list->GetCount() - 1;
            list->EnsureVisible(plus);
            const QRect row = list->GetItemRect(plus);
            QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(40, row.center().y()));
            ASSERT_TRUE(page->SelectionOpensEditForm());
        }
        Settle();
        fresh.start += 86400;
        fresh.end += 86400;
        Frame().Messages().editSchedule(c.action == Cancel ? existing : fresh);
        Settle();
        ASSERT_EQ(Frame().CurrentView(), ViewScheduleEdit);
        EXPECT_TRUE(ShowsOnlyTheCurrentCaption());
        ASSERT_EQ(app->State().uiMode, c.mode);
        const size_t before = db.Schedules().size();
        ClearBoxLog(box.port());
        env.ClearMessages();
        if (c.action == Refused)
            rawRequest(box.port(), "GET", "/demobox/fault?cmd=set_alarm&mode=error&arg=2&count=1");

        if (c.action == Cancel)
            form->Cancel();
        else
            form->Save();
        Settle();
        EXPECT_EQ(app->State().uiMode, c.mode);
        if (c.view != kEither) {
            EXPECT_EQ(Frame().CurrentView(), c.view);
        }
        EXPECT_TRUE(ShowsOnlyTheCurrentCaption());
        EXPECT_FALSE(Shown(CMainFrame::SatBar));
        EXPECT_EQ(Count(BoxLog(box.port()), "set_alarm"), c.action == Cancel ? 0 : 1);
        EXPECT_EQ(env.Messages(), QString::fromLatin1(c.message));
        EXPECT_EQ(db.Schedules().size(), before + (c.action == Save ? 1 : 0));
        // The list shows the box's timers as they are now, and its "+" row.
        if (c.mode == ModeSchedule) {
            EXPECT_EQ(page->List()->GetCount(), static_cast<int>(db.Schedules().size()) + 1);
        }
    }
}

// Cancel drops what was typed: when the list's selection brings the form back, it shows the timer
// as the box has it.
TEST_F(MainFrameTest, CancelOnTheTimerFormDropsTheEdits)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    Frame().Commands().Trigger(ID_MODE_SCHEDULE);
    Settle();
    CKelvoScheduleListBox* list = Frame().findChild<CKelvoPageSchedule*>()->List();
    int row = -1;
    for (int i = 0; i < static_cast<int>(list->Rows().Rows().size()) && row < 0; ++i) {
        const CScheduleRow& r = list->Rows().Rows()[static_cast<size_t>(i)];
        if (!r.isNew && r.schedule.seriesId < 0)
            row = i;
    }
    ASSERT_GE(row, 0) << "the demo box has single timers";
    const CScheduleElement stored = list->Rows().Rows()[static_cast<size_t>(row)].schedule;
    list->EnsureVisible(row);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(40, list->GetItemRect(row).center().y()));
    Settle();
    ASSERT_EQ(Frame().CurrentView(), ViewScheduleEdit);
    auto* form = static_cast<CKelvoViewScheduleEdit*>(Frame().View(ViewScheduleEdit));
    ASSERT_EQ(form->RecordFromControls().start, stored.start);
    QDateEdit* date = form->findChild<QDateEdit*>();
    ASSERT_NE(date, nullptr);
    date->setDate(date->date().addDays(1));
    ASSERT_EQ(form->RecordFromControls().start, stored.start + 86400);
    ClearBoxLog(box.port());

    form->Cancel();
    Settle();
    EXPECT_EQ(Count(BoxLog(box.port()), "set_alarm"), 0);
    EXPECT_EQ(app->State().uiMode, ModeSchedule);
    if (Frame().CurrentView() == ViewScheduleEdit) {
        EXPECT_EQ(form->RecordFromControls().start, stored.start);
    }
    EXPECT_EQ(list->GetCurSel(), row);
}

TEST_F(MainFrameTest, AReloadKeepsTheGuidesServiceAndTheSchedulesSelection)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const int key = app->Database().Services()[3]->key;
    Frame().Messages().showGuide(key);
    Settle();
    auto* guide = Frame().findChild<CKelvoViewEPG*>();
    ASSERT_NE(guide, nullptr);
    ASSERT_EQ(guide->ServiceKey(), key);
    ASSERT_TRUE(Frame().RefreshFromBox());
    Settle();
    EXPECT_EQ(Frame().CurrentView(), ViewGuide);
    EXPECT_EQ(guide->ServiceKey(), key);

    Frame().Commands().Trigger(ID_MODE_SCHEDULE);
    Settle();
    CKelvoScheduleListBox* list = Frame().findChild<CKelvoPageSchedule*>()->List();
    ASSERT_GE(list->GetCount(), 3);
    const QRect row = list->GetItemRect(1);
    QTest::mouseClick(list, Qt::LeftButton, {}, QPoint(40, row.center().y()));
    ASSERT_EQ(list->GetCurSel(), 1);
    ASSERT_TRUE(Frame().RefreshFromBox());
    Settle();
    EXPECT_EQ(list->GetCurSel(), 1);
}

TEST_F(MainFrameTest, RefreshWithoutABoxAsksForTheAddress)
{
    Start(0);
    Frame().Commands().Trigger(ID_CHANNEL_REFRESH);
    EXPECT_EQ(env.Messages(), QStringLiteral("STB Setting|Need to set STB IP\n"));
}

TEST_F(MainFrameTest, AFailedReloadIsReported)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    rawRequest(box.port(), "GET", "/demobox/fault?cmd=svc_list&mode=http500");
    env.ClearMessages();
    EXPECT_FALSE(Frame().RefreshFromBox());
    EXPECT_EQ(env.Messages(), QStringLiteral("Service Update Failure|Service update failed\n"));
}

TEST_F(MainFrameTest, SavingTheSettingsSaysWhetherTheyWereWritten)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    ASSERT_TRUE(Frame().Commands().Trigger(ID_MODE_SETTING));
    Settle();
    env.ClearMessages();
    ClearBoxLog(box.port());
    ASSERT_TRUE(Frame().Commands().Trigger(ID_SAVE_SETTINGS));
    EXPECT_EQ(env.Messages(), QStringLiteral("Setting|Setting saved\n"));
    // Nothing streams: the box is not told to stop.
    EXPECT_EQ(Count(BoxLog(box.port()), "stop_streaming"), 0);

    // A folder where the file should be: nothing can be written there, whoever runs the test.
    ASSERT_TRUE(QFile::remove(env.SettingsPath()));
    ASSERT_TRUE(QDir().mkdir(env.SettingsPath()));
    env.ClearMessages();
    ASSERT_TRUE(Frame().Commands().Trigger(ID_SAVE_SETTINGS));
    EXPECT_EQ(env.Messages(),
              QStringLiteral("Setting|The settings could not be written to disk. They stay in effect "
                             "until Kelvo+ is closed.\n"));
    ASSERT_TRUE(QDir().rmdir(env.SettingsPath()));
}

// An address typed in part would be stored with zeros where nothing was typed, and the next
// reload would go there. Save refuses it, and a port that is none, before anything changes: the
// stream plays on, the stored settings and the form stay as they were.
TEST_F(MainFrameTest, SaveRefusesAnAddressTypedInPartAndAPortOutOfRange)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const CServiceElement* tv = nullptr;
    for (const auto& s : app->Database().Services())
        tv = !tv && s->type == 0 && s->streamingPossible ? s.get() : tv;
    ASSERT_NE(tv, nullptr);
    Frame().Messages().playService(tv->key);
    Settle();
    ASSERT_EQ(app->State().streamingService, tv->key) << env.Messages().toStdString();
    ASSERT_TRUE(Frame().Commands().Trigger(ID_MODE_SETTING));
    Settle();
    auto* form = qobject_cast<CKelvoViewSetting*>(Frame().View(ViewSetting));
    ASSERT_NE(form, nullptr);
    using V = CKelvoViewSetting;
    auto* address = qobject_cast<CKelvoIPAddressCtrl*>(form->Control(V::IDC_ADDRESS));
    auto* stodAddress = qobject_cast<CKelvoIPAddressCtrl*>(form->Control(V::IDC_STOD_ADDRESS));
    auto* stodPort = qobject_cast<QLineEdit*>(form->Control(V::IDC_STOD_PORT));
    auto* stodOn = qobject_cast<QAbstractButton*>(form->Control(V::IDC_STOD_ON));
    auto* stodOff = qobject_cast<QAbstractButton*>(form->Control(V::IDC_STOD_OFF));
    ASSERT_TRUE(address && stodAddress && stodPort && stodOn && stodOff);
    const CBoxConnection stored = app->Connection().Value();
    const QByteArray storedFile = [&] {
        QFile f(env.SettingsPath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const CSettingsInput::Octets box127{"127", "0", "0", "1"};

    struct Case
    {
        const char* name;
        CSettingsInput::Octets address;
        bool stod;
        CSettingsInput::Octets stodAddress;
        const char* port;
        const char* message;
    };
    const Case cases[] = {
        {"box address in part",
         {"192", "168", "", ""},
         false,
         {},
         "0",
         "Setting|IP address (Enter manually): fill in all four numbers of the STB's address, or leave all "
         "four "
         "blank."},
        {"other device's address in part",
         box127,
         true,
         {"10", "", "0", "9"},
         "1234",
         "Setting|Stream to other device: fill in all four numbers of the device's IP address."},
        {"other device's address in part, switched off",
         box127,
         false,
         {"10", "", "", ""},
         "0",
         "Setting|Stream to other device: fill in all four numbers of the device's IP address."},
        {"port 65536",
         box127,
         true,
         {"10", "0", "0", "9"},
         "65536",
         "Setting|Stream to other device: the Port must be a number from 1 to 65535."},
        {"port 0 while on",
         box127,
         true,
         {"10", "0", "0", "9"},
         "0",
         "Setting|Stream to other device: the Port must be a number from 1 to 65535."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        (c.stod ? stodOn : stodOff)->click();
        address->SetOctets(c.address);
        stodAddress->SetOctets(c.stodAddress);
        stodPort->setText(QString::fromLatin1(c.port));
        ClearBoxLog(box.port());
        env.ClearMessages();
        ASSERT_TRUE(Frame().Commands().Trigger(ID_SAVE_SETTINGS));
        Settle();
        EXPECT_EQ(env.Messages().toStdString(), std::string(c.message) + "\n");
        EXPECT_EQ(BoxLog(box.port()), "") << "no request, the stream is not stopped";
        EXPECT_EQ(app->State().streamingService, tv->key);
        EXPECT_TRUE(app->Connection().Value() == stored) << app->Connection().Value().address.toStdString();
        EXPECT_TRUE(app->State().boxConfigured);
        QFile f(env.SettingsPath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll().toStdString(), storedFile.toStdString());
        EXPECT_EQ(Frame().CurrentView(), ViewSetting);
        EXPECT_EQ(address->Octets(), c.address) << "the form keeps what was typed";
        EXPECT_EQ(stodAddress->Octets(), c.stodAddress);
        EXPECT_EQ(stodPort->text().toStdString(), c.port);
        EXPECT_EQ(stodOn->isChecked(), c.stod);
    }

    // A blank box address is no box: stored as 0.0.0.0, as before.
    stodOff->click();
    address->SetOctets({});
    stodAddress->SetOctets({});
    stodPort->setText(QStringLiteral("0"));
    env.ClearMessages();
    ASSERT_TRUE(Frame().Commands().Trigger(ID_SAVE_SETTINGS));
    EXPECT_EQ(env.Messages().toStdString(), "Setting|Setting saved\n");
    EXPECT_EQ(app->Connection().Value().address.toStdString(), "0.0.0.0");
    EXPECT_FALSE(app->State().boxConfigured);
}

TEST_F(MainFrameTest, CloseStoresTheStateThenStopsTheStreamOnce)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const CServiceElement* tv = nullptr;
    for (const auto& s : app->Database().Services())
        if (s->type == 0 && s->streamingPossible) {
            tv = s.get();
            break;
        }
    ASSERT_NE(tv, nullptr);
    Frame().Messages().playService(tv->key);
    Settle();
    ASSERT_EQ(app->State().streamingService, tv->key) << env.Messages().toStdString();
    Frame().Messages().setVolume(37);
    Frame().Commands().Trigger(ID_MUTE);
    Frame().move(40, 30);
    Settle();
    ClearBoxLog(box.port());
    Frame().close();
    app->ExitInstance();
    app.reset();
    EXPECT_EQ(Count(BoxLog(box.port()), "stop_streaming"), 1);

    CKelvoAppState state;
    CBoxConnection connection;
    CKelvoSettingsStore(env.SettingsPath()).Load(state, connection);
    EXPECT_EQ(state.volume, 37);
    EXPECT_TRUE(state.mute);
    EXPECT_EQ(connection.port, box.port());
    EXPECT_GT(state.windowRight - state.windowLeft, 0);
}

TEST_F(MainFrameTest, PlacementComesBackWithTheNextStart)
{
    Start(0);
    const QRect normal(40, 30, 1100, 750);
    enum Shape
    {
        Normal,
        Maximized,
        FullScreen
    };
    for (Shape shape : {Normal, Maximized, FullScreen}) {
        SCOPED_TRACE(shape);
        Frame().setGeometry(normal);
        Settle();
        if (shape == Maximized)
            Frame().showMaximized();
        else if (shape == FullScreen)
            Frame().SetFullScreen(true);
        Settle();
        Frame().close();
        app->ExitInstance();
        app.reset();

        // The normal rectangle is stored whatever the window's state was.
        CKelvoAppState stored;
        CBoxConnection connection;
        CKelvoSettingsStore(env.SettingsPath()).Load(stored, connection);
        EXPECT_EQ(QRect(QPoint(stored.windowLeft, stored.windowTop),
                        QPoint(stored.windowRight, stored.windowBottom)),
                  normal.adjusted(0, 0, 1, 1));
        EXPECT_EQ(stored.maximized, shape == Maximized);
        EXPECT_EQ(stored.fullScreen, shape == FullScreen);

        app = std::make_unique<CKelvoPlayerApp>(env.SettingsPath());
        ASSERT_TRUE(app->InitInstance());
        Settle();
        EXPECT_EQ(Frame().isMaximized(), shape == Maximized);
        EXPECT_EQ(Frame().IsFullScreen(), shape == FullScreen);
        EXPECT_EQ(Frame().isFullScreen(), shape == FullScreen);
        EXPECT_EQ(Shown(CMainFrame::MainCaption), shape != FullScreen);
        if (shape == Normal) {
            EXPECT_EQ(Frame().geometry(), normal);
        }
        if (shape == FullScreen)
            Frame().SetFullScreen(false);
        Frame().showNormal();
    }
}

TEST_F(MainFrameTest, ASecondInstanceIsRefusedAndAStaleLockIsNot)
{
    Start(0);
    CKelvoPlayerApp second(env.SettingsPath());
    EXPECT_FALSE(second.InitInstance());
    EXPECT_EQ(env.Messages(), QStringLiteral("Error|Already running\n"));
    app->ExitInstance();
    app.reset();

    // A process that died holding the lock leaves it behind.
    const pid_t child = fork();
    if (child == 0) {
        QLockFile lock(CKelvoPlayerApp::LockPath());
        _exit(lock.tryLock(0) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_EQ(WEXITSTATUS(status), 0);
    ASSERT_TRUE(QFile::exists(CKelvoPlayerApp::LockPath()));
    env.ClearMessages();
    CKelvoPlayerApp next(env.SettingsPath());
    EXPECT_TRUE(next.InitInstance());
    EXPECT_TRUE(env.Messages().isEmpty());
    next.ExitInstance();
}

TEST_F(MainFrameTest, TheRemoteButtonShowsTheRemoteBesideTheWindowAndHidesIt)
{
    Start(0);
    QWidget* remote = Frame().RemoteWindow();
    ASSERT_NE(remote, nullptr);
    Frame().setGeometry(40, 30, 1100, 750);
    Settle();
    ASSERT_FALSE(remote->isVisible());
    for (bool shown : {true, false, true}) {
        ASSERT_TRUE(Frame().Commands().Trigger(ID_TOGGLE_REMOTE));
        Settle();
        EXPECT_EQ(remote->isVisible(), shown);
        if (shown) {
            const QRect frame = Frame().frameGeometry();
            EXPECT_EQ(remote->pos(), QPoint(frame.x() + frame.width(), frame.y()));
        }
    }
}

TEST_F(MainFrameTest, RemoteKeysReachTheBoxInOrderWhileAReloadHangs)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    auto* remote = qobject_cast<CKelvoRCUWindow*>(Frame().RemoteWindow());
    ASSERT_NE(remote, nullptr);
    rawRequest(box.port(), "GET", "/demobox/fault?cmd=svc_list&mode=hang");
    // Each key waits for its reply a while, so the keys pressed meanwhile queue up behind it.
    rawRequest(box.port(), "GET", "/demobox/fault?cmd=rcu&mode=delay&arg=50");
    ClearBoxLog(box.port());
    std::vector<std::pair<int, bool>> keys;
    for (const auto& k : KelvoRCUKeys())
        keys.emplace_back(k.code, keys.size() % 3 == 2);
    QTimer::singleShot(100, remote, [&] { emit remote->bnClicked(keys[0].first, keys[0].second); });
    QTimer::singleShot(120, remote, [&] {
        for (size_t i = 1; i < keys.size(); ++i)
            emit remote->bnClicked(keys[i].first, keys[i].second);
    });
    EXPECT_FALSE(Frame().RefreshFromBox());
    std::string expected;
    for (const auto& [code, repeat] : keys)
        expected += "rcu key=" + std::to_string(code) + " repeat=" + (repeat ? "1" : "0") + "\n";
    std::string sent;
    std::istringstream lines(BoxLog(box.port()));
    for (std::string line; std::getline(lines, line);)
        if (const size_t at = line.find("# rcu key="); at != std::string::npos)
            sent += line.substr(at + 2) + "\n";
    EXPECT_EQ(sent, expected);
}

TEST_F(MainFrameTest, ViewsStayUsableWhileAReloadWaits)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const int key = app->Database().Services().front()->key;
    Frame().Messages().showGuide(key);
    Settle();
    // The reload empties the database before its reply arrives; meanwhile every list is painted,
    // hovered and ticked. Under AddressSanitizer a view that kept a record pointer fails here.
    rawRequest(box.port(), "GET", "/demobox/fault?cmd=svc_list&mode=delay&arg=1500");
    int pokes = 0;
    int enabled = 0;
    int waitCursor = 0;
    QTimer poke;
    QObject::connect(&poke, &QTimer::timeout, [&] {
        ++pokes;
        enabled += Frame().isEnabled() ? 1 : 0;
        const QCursor* cursor = QGuiApplication::overrideCursor();
        waitCursor += cursor != nullptr && cursor->shape() == Qt::WaitCursor ? 1 : 0;
        for (QWidget* w : Frame().findChildren<QWidget*>()) {
            if (!w->isVisible())
                continue;
            w->grab();
            QTest::mouseMove(w, w->rect().center());
        }
    });
    poke.start(200);
    EXPECT_TRUE(Frame().RefreshFromBox());
    poke.stop();
    EXPECT_GE(pokes, 3);
    // Meanwhile the window takes no input and shows the wait cursor; afterwards both are back.
    EXPECT_EQ(enabled, 0);
    EXPECT_EQ(waitCursor, pokes);
    EXPECT_TRUE(Frame().isEnabled());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    for (int mode : {ID_MODE_SCHEDULE, ID_MODE_CHANNEL})
        Frame().Commands().Trigger(mode);
    Settle();
}

// Qt paints nothing beneath a widget that says it paints every pixel of its area, so whatever it
// leaves translucent shows what the window had there before: a bar hidden since, another view.
TEST_F(MainFrameTest, WidgetsThatClaimToBeOpaqueCoverTheirWholeAreaInEveryMode)
{
    ASSERT_TRUE(box.ok());
    Start(box.port());
    const int key = app->Database().Services().front()->key;
    const auto translucentOpaqueWidgets = [] {
        std::vector<std::string> found;
        for (QWidget* top : QApplication::topLevelWidgets()) {
            // Popups and floating bars are found among the children of the window that owns them.
            if (top->parentWidget() != nullptr)
                continue;
            QList<QWidget*> widgets = top->findChildren<QWidget*>();
            widgets.prepend(top);
            for (QWidget* w : widgets) {
                // A surface the video engine draws on has its updates turned off.
                if (!w->isVisible() || !w->testAttribute(Qt::WA_OpaquePaintEvent) || !w->updatesEnabled())
                    continue;
                QImage image(w->size(), QImage::Format_ARGB32_Premultiplied);
                image.fill(Qt::transparent);
                w->render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
                int translucent = 0;
                for (int y = 0; y < image.height(); ++y)
                    for (int x = 0; x < image.width(); ++x)
                        translucent += qAlpha(image.pixel(x, y)) < 255 ? 1 : 0;
                if (translucent > 0)
                    found.push_back(std::string(w->metaObject()->className()) + " " +
                                    w->objectName().toStdString() + ": " + std::to_string(translucent));
            }
        }
        return found;
    };
    struct Situation
    {
        const char* name;
        std::function<void()> enter;
    };
    const Situation situations[] = {
        {"channel", [] {}},
        {"guide", [&] { Frame().Messages().showGuide(key); }},
        {"schedule", [&] { Frame().Commands().Trigger(ID_MODE_SCHEDULE); }},
        {"setting", [&] { Frame().Commands().Trigger(ID_MODE_SETTING); }},
        {"mini player", [&] { Frame().Commands().Trigger(ID_MINI_PLAYER); }},
        {"channel popup", [&] { Frame().ShowChannelPopup(true); }},
        {"full screen", [&] { Frame().SetFullScreen(true); }},
        // The overlays dock again once they see the cursor elsewhere, within a tenth of a second.
        {"full screen overlays",
         [&] {
             static_cast<CKelvoControlBar*>(Frame().BarWidget(CMainFrame::ControlBar))->ShowOverlay(true);
             static_cast<CMiniFrameCaptionBar*>(Frame().BarWidget(CMainFrame::MiniCaption))
                 ->ShowOverlay(true);
         }},
    };
    for (const Situation& s : situations) {
        s.enter();
        Settle(20);
        EXPECT_EQ(translucentOpaqueWidgets(), std::vector<std::string>()) << s.name;
    }
}
