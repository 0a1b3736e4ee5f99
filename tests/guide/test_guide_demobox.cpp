// The program guide view on a database filled from the demo box: its seven days of guide, paged
// with the day buttons, the three presses on a state icon that the frame sends to the box, the
// running event's bar, and a screenshot of a day with timers.
#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "commands/CMainFrameMessages.h"
#include "tests/db/DbTestSupport.h"
#include "tests/guide/GuideListTestSupport.h"
#include "tests/support/DemoBoxTestSupport.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "views/common/CKelvoEPGCaption.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoEPGRows.h"
#include "views/guide/CKelvoViewEPG.h"

#include <QDateTime>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <vector>

namespace {

class GuideDemoBoxTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CKelvoRes::Instance().Load(); }

    void SetUp() override
    {
        ASSERT_TRUE(ConnectToDemoBox(wrapper, box));
        ASSERT_TRUE(db.UpdateService());
        view.resize(700, 26 + 10 * CKelvoEPGListBox::kRowHeight);
        view.show();
    }

    // Loads the guide of a service and shows it, as the frame does for a request to show it.
    bool ShowGuide(const CServiceElement& service)
    {
        const int key = service.key;
        return db.UpdateEPG(service.type, service.idx) && view.SetService(key);
    }
    const CServiceElement& FirstTv() const
    {
        for (const auto& s : db.Services()) {
            if (s->type == 0)
                return *s;
        }
        throw std::runtime_error("no TV service");
    }
    // Stands in for the frame: sends the schedule to the box, then has the event's row redrawn.
    void ConnectFrame()
    {
        QObject::connect(&messages, &CMainFrameMessages::setSchedule, &view,
                         [this](const CScheduleElement& s) {
                             if (db.SetSchedule(s) == 0)
                                 view.SetEventId(s.eventId);
                         });
    }

    CKelvoEPGListBox& List() { return *view.List(); }
    std::vector<int> Ids() { return guidetest::ShownIds(List()); }
    // The guide record's events that start on the local date of `day`, in reply order.
    std::vector<int> EventsOn(qint64 day) const
    {
        const QDate date = QDateTime::fromSecsSinceEpoch(day).date();
        std::vector<int> ids;
        for (const auto& e : db.Guide().events) {
            if (QDateTime::fromSecsSinceEpoch(e->start).date() == date)
                ids.push_back(e->id);
        }
        return ids;
    }
    QPoint Part(int row, int part) { return guidetest::PartCentre(List(), row, part); }
    int IconOf(int row) { return CKelvoEPGRows::IconFrameFor(List().Rows().ScheduleOf(db, row)); }
    QImage Shot() { return List().grab().toImage(); }

    DemoBoxProcess box{{"--no-ffmpeg", "--no-upnp"}};
    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
    CMainFrameMessages messages;
    qint64 now = QDateTime::currentSecsSinceEpoch();
    CKelvoViewEPG view{db, messages, [this] { return now; }};
};

TEST_F(GuideDemoBoxTest, SevenDaysByLocalStartDayPagedWithTheButtons)
{
    const CServiceElement& tv = FirstTv();
    ASSERT_TRUE(ShowGuide(tv));
    EXPECT_EQ(view.Caption()->Text(), QString::asprintf("%04d ", tv.lcn) + tv.name);
    const qint64 first = view.Day();
    EXPECT_EQ(first, db.Guide().boxTime);

    // Each of the seven days shows exactly the events that start on it; an event running past
    // midnight is listed on the day it starts only.
    int crossing = 0;
    for (int d = 0; d < 7; ++d) {
        const qint64 day = view.Day();
        EXPECT_EQ(QDateTime::fromSecsSinceEpoch(day).date(),
                  QDateTime::fromSecsSinceEpoch(first).date().addDays(d));
        ASSERT_FALSE(Ids().empty()) << "day " << d;
        EXPECT_EQ(Ids(), EventsOn(day)) << "day " << d;
        for (int i = 0; i < List().Rows().Count(); ++i) {
            const EPGRow& row = *List().Rows().At(i);
            const QDate starts = QDateTime::fromSecsSinceEpoch(row.start).date();
            if (QDateTime::fromSecsSinceEpoch(row.end - 1).date() != starts) {
                ++crossing;
                EXPECT_EQ(i, List().Rows().Count() - 1) << "runs into the next day";
                const std::vector<int> next =
                    EventsOn(QDateTime(starts.addDays(1), QTime(12, 0)).toSecsSinceEpoch());
                EXPECT_TRUE(std::find(next.begin(), next.end(), row.eventId) == next.end());
            }
        }
        QTest::mouseClick(view.NextDayButton(), Qt::LeftButton);
    }
    EXPECT_GT(crossing, 0) << "the demo box's guide has events that run past midnight";

    // Next, next, previous: the day after the first.
    view.SetService(tv.key);
    QTest::mouseClick(view.NextDayButton(), Qt::LeftButton);
    QTest::mouseClick(view.NextDayButton(), Qt::LeftButton);
    QTest::mouseClick(view.PrevDayButton(), Qt::LeftButton);
    EXPECT_EQ(QDateTime::fromSecsSinceEpoch(view.Day()).date(),
              QDateTime::fromSecsSinceEpoch(first).date().addDays(1));
    EXPECT_EQ(Ids(), EventsOn(view.Day()));

    // The day before the guide: the empty list says so, in the list's own text.
    QTest::mouseClick(view.PrevDayButton(), Qt::LeftButton);
    QTest::mouseClick(view.PrevDayButton(), Qt::LeftButton);
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_EQ(List().EmptyText(), "No Information");
    const QImage empty = Shot();
    int lit = 0;
    for (int y = 0; y < empty.height(); ++y) {
        for (int x = 0; x < empty.width(); ++x)
            lit += qGray(empty.pixel(x, y)) > 128 ? 1 : 0;
    }
    EXPECT_GT(lit, 20) << "the text is drawn";
    EXPECT_NE(view.Day(), 0) << "the date stays drawn and the buttons keep paging";
}

// Play, Recording, removal: each press starts from what the box stored after the one before.
TEST_F(GuideDemoBoxTest, ThreePressesOnTheStateIconPlayRecordAndRemove)
{
    ConnectFrame();
    ASSERT_TRUE(ShowGuide(FirstTv()));
    // An event that is still to come, so that the box accepts a timer for it.
    int row = -1;
    for (int attempt = 0; attempt < 2 && row < 0; ++attempt) {
        for (int i = 0; i < List().Rows().Count() && row < 0; ++i) {
            if (List().Rows().At(i)->start > now + 120)
                row = i;
        }
        if (row < 0)
            view.ShowNextDay();
    }
    ASSERT_GE(row, 0);
    const int eventId = List().Rows().At(row)->eventId;
    List().SetTopIndex(row);
    ASSERT_EQ(IconOf(row), CKelvoEPGRows::IconNone);
    rawRequest(box.port(), "GET", "/demobox/log?clear=1");

    const size_t timers = db.Schedules().size();
    QSignalSpy sent(&messages, &CMainFrameMessages::setSchedule);
    const int after[] = {CKelvoEPGRows::IconPlay, CKelvoEPGRows::IconRecording, CKelvoEPGRows::IconNone};
    for (const int icon : after) {
        uitest::Click(&List(), Part(row, CKelvoEPGListBox::PartIcon));
        EXPECT_EQ(IconOf(row), icon) << "the box's answer is in the database";
    }
    ASSERT_EQ(sent.count(), 3);
    EXPECT_EQ(db.Schedules().size(), timers) << "the box's own timers are left alone";

    // The box's log: three set_alarm requests for this event, with the expected type and mode,
    // the second and third for the timer the box made on the first.
    const std::string log = rawRequest(box.port(), "GET", "/demobox/log").body;
    const QRegularExpression alarm(
        QStringLiteral("alarm_id=(\\d+)&alarm_type=(\\d+)&alarm_mode=(\\d+)&.*evt_id=(\\d+)"));
    struct Sent
    {
        int type, mode;
    };
    const Sent expected[] = {{0, 1}, {1, 1}, {2, 0}};
    std::vector<QRegularExpressionMatch> requests;
    for (const QString& line : QString::fromStdString(log).split(QLatin1Char('\n'))) {
        const QString decoded = QUrl::fromPercentEncoding(line.toUtf8());
        if (decoded.contains(QStringLiteral("set_alarm")))
            requests.push_back(alarm.match(decoded));
    }
    ASSERT_EQ(requests.size(), 3u) << log;
    for (size_t i = 0; i < 3; ++i) {
        ASSERT_TRUE(requests[i].hasMatch()) << log;
        EXPECT_EQ(requests[i].captured(2).toInt(), expected[i].type) << i;
        EXPECT_EQ(requests[i].captured(3).toInt(), expected[i].mode) << i;
        EXPECT_EQ(requests[i].captured(4).toInt(), eventId) << i;
    }
    EXPECT_EQ(requests[0].captured(1).toInt(), 0) << "a new timer";
    EXPECT_GT(requests[1].captured(1).toInt(), 0);
    EXPECT_EQ(requests[2].captured(1), requests[1].captured(1));

    // A press the box refuses changes nothing: the next one asks for the same step again.
    ASSERT_EQ(rawRequest(box.port(), "GET", "/demobox/fault?cmd=set_alarm&mode=error&count=1").status, 200);
    uitest::Click(&List(), Part(row, CKelvoEPGListBox::PartIcon));
    EXPECT_EQ(IconOf(row), CKelvoEPGRows::IconNone);
    uitest::Click(&List(), Part(row, CKelvoEPGListBox::PartIcon));
    EXPECT_EQ(IconOf(row), CKelvoEPGRows::IconPlay);
    ASSERT_EQ(sent.count(), 5);
    EXPECT_EQ(sent[3][0].value<CScheduleElement>().type, 0);
    EXPECT_EQ(sent[4][0].value<CScheduleElement>().type, 0);
}

TEST_F(GuideDemoBoxTest, EndedEventsAreInertAndDimmed)
{
    ASSERT_TRUE(ShowGuide(FirstTv()));
    ASSERT_GE(List().Rows().Count(), 6);
    now = List().Rows().At(4)->start + 60; // rows 0 to 3 have ended, row 4 runs
    List().SetTopIndex(0);
    QSignalSpy sent(&messages, &CMainFrameMessages::setSchedule);
    rawRequest(box.port(), "GET", "/demobox/log?clear=1");

    const QRect icon = List().PartRect(1, CKelvoEPGListBox::PartIcon);
    const QImage plain = Shot().copy(icon);
    uitest::Move(&List(), icon.center(), false);
    EXPECT_EQ(List().Hot(), std::make_pair(1, int(CKelvoEPGListBox::PartIcon)));
    EXPECT_EQ(Shot().copy(icon), plain) << "no hover variant over an ended event";
    uitest::Click(&List(), icon.center());
    EXPECT_EQ(sent.count(), 0);
    EXPECT_EQ(rawRequest(box.port(), "GET", "/demobox/log").body.find("set_alarm"), std::string::npos);
    const QRect live = List().PartRect(4, CKelvoEPGListBox::PartIcon);
    const QImage unlit = Shot().copy(live);
    uitest::Move(&List(), live.center(), false);
    EXPECT_NE(Shot().copy(live), unlit) << "the running event's icon lights up";

    // Ended rows are written in the dim colour, the rest in the bright one.
    const auto brightest = [this](int row) {
        const QImage img = Shot();
        const QRect r = List().GetItemRect(row).adjusted(50, 8, -50, -8);
        int best = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x)
                best = std::max(best, qGray(img.pixel(x, y)));
        }
        return best;
    };
    EXPECT_LE(brightest(1), 80);
    EXPECT_GE(brightest(5), 200);
}

TEST_F(GuideDemoBoxTest, HalfTheBarAfterThirtyOfSixtyMinutes)
{
    ASSERT_TRUE(ShowGuide(FirstTv()));
    int row = -1;
    for (int i = 0; i < List().Rows().Count() && row < 0; ++i) {
        const EPGRow& r = *List().Rows().At(i);
        if (r.end - r.start == 3600)
            row = i;
    }
    ASSERT_GE(row, 0) << "the demo box's first day has an hour-long event";
    now = List().Rows().At(row)->start + 1800;
    List().SetTopIndex(row);
    List().SetCurSel(-1);

    const QRect r = List().GetItemRect(row);
    const QImage img = Shot();
    const QRgb blue = KelvoRes().imgProgressBlue43.Frame(0).toImage().pixel(0, 3);
    const QRgb grey = KelvoRes().imgRowGrey43.Frame(0).toImage().pixel(0, 3);
    ASSERT_NE(blue, grey);
    const int y = r.top() + 3;
    const int half = r.left() + r.width() / 2;
    EXPECT_EQ(img.pixel(r.left() + 2, y), blue);
    EXPECT_EQ(img.pixel(half - 2, y), blue);
    EXPECT_EQ(img.pixel(half + 2, y), grey);
    EXPECT_EQ(img.pixel(r.right() - 2, y), grey);
    EXPECT_EQ(img.pixel(half, List().GetItemRect(row + 1).top() + 3), qRgb(0, 0, 0))
        << "the next has not begun";

    // The 5-second tick finds the running row.
    QTRY_COMPARE_WITH_TIMEOUT(List().OnAirRow(), row, 10000);
}

// A guide that cannot be loaded (the box sends half a reply): another service shows nothing of
// the guide before, and its day buttons do nothing.
TEST_F(GuideDemoBoxTest, FailedLoadShowsNoOtherServicesGuide)
{
    const CServiceElement& tv = FirstTv();
    ASSERT_TRUE(ShowGuide(tv));
    const CServiceElement* other = nullptr;
    for (const auto& s : db.Services()) {
        if (s->type == 0 && s->key != tv.key) {
            other = s.get();
            break;
        }
    }
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(rawRequest(box.port(), "GET", "/demobox/fault?cmd=epg_info&mode=truncate").status, 200);
    EXPECT_FALSE(db.UpdateEPG(other->type, other->idx));
    EXPECT_FALSE(view.SetService(other->key));
    EXPECT_EQ(view.Caption()->Text(), QString::asprintf("%04d ", other->lcn) + other->name);
    EXPECT_EQ(view.Day(), 0);
    EXPECT_EQ(List().GetCount(), 0);
    QTest::mouseClick(view.NextDayButton(), Qt::LeftButton);
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_EQ(view.Day(), 0);
}

// A day of the service with the series timers, one event on air, a Play and a Recording timer
// made with the state icon, and the mouse over a timer button. Saved as guide_view.png.
TEST_F(GuideDemoBoxTest, Screenshot)
{
    ConnectFrame();
    const CServiceElement* service = nullptr;
    for (const auto& s : db.Schedules()) {
        if (s->seriesId >= 0 && !service)
            service = db.FindService(MakeServiceKey(s->svcType, s->svcIdx));
    }
    ASSERT_NE(service, nullptr);
    view.resize(760, 26 + 9 * CKelvoEPGListBox::kRowHeight);
    ASSERT_TRUE(ShowGuide(*service));
    view.ShowNextDay();
    // On air: the event with the series timer; the two after it get a timer each.
    int running = -1;
    for (int i = 0; i < List().Rows().Count() && running < 0; ++i) {
        const CScheduleElement* s = List().Rows().ScheduleOf(db, i);
        if (s && s->seriesId >= 0)
            running = i;
    }
    ASSERT_GE(running, 0);
    ASSERT_LT(running + 2, List().Rows().Count());
    const EPGRow& on = *List().Rows().At(running);
    now = on.start + (on.end - on.start) * 2 / 5;
    List().SetTopIndex(std::max(0, running - 3));
    uitest::Click(&List(), Part(running + 1, CKelvoEPGListBox::PartIcon));
    uitest::Click(&List(), Part(running + 2, CKelvoEPGListBox::PartIcon));
    uitest::Click(&List(), Part(running + 2, CKelvoEPGListBox::PartIcon));
    ASSERT_EQ(IconOf(running + 1), CKelvoEPGRows::IconPlay);
    ASSERT_EQ(IconOf(running + 2), CKelvoEPGRows::IconRecording);
    List().SetCurSel(-1);
    uitest::Move(&List(), Part(running + 1, CKelvoEPGListBox::PartTimer), false);

    QWidget* content = view.CaptionContent();
    content->resize(view.width(), CKelvoViewEPG::kCaptionHeight);
    QImage shot(view.width(), CKelvoViewEPG::kCaptionHeight + view.height(), QImage::Format_RGB32);
    QPainter p(&shot);
    KelvoRes().imgBarDark38.Draw3Slice(p, QRect(0, 0, view.width(), CKelvoViewEPG::kCaptionHeight),
                                       CNxImages::VAlign::Stretch);
    content->render(&p, QPoint(0, 0), QRegion(), QWidget::DrawChildren);
    view.render(&p, QPoint(0, CKelvoViewEPG::kCaptionHeight));
    p.end();
    EXPECT_TRUE(shot.save(QStringLiteral("guide_view.png")));
}

} // namespace
