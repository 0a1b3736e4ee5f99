// The program guide view offscreen, filled from guide replies and driven by clicks: what it shows,
// the messages its presses send to the frame, and that it never uses events the database has
// already deleted.
#include "commands/CMainFrameMessages.h"
#include "commands/KelvoCommandIds.h"
#include "tests/guide/GuideListTestSupport.h"
#include "tests/guide/GuideTestSupport.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoRes.h"
#include "ui/CNxButton.h"
#include "views/common/CKelvoEPGCaption.h"
#include "views/guide/CKelvoEPGListBox.h"
#include "views/guide/CKelvoViewEPG.h"

#include <QImage>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <vector>

using namespace guidetest;

namespace {

// Events of 4, 5 and 6 March; the guide was made at 21:15 on 5 March.
const char* const kEvents = R"(
    <evt id="1" stime="2014-03-04T23:50" etime="2014-03-05T00:40"><name>Late Show</name></evt>
    <evt id="2" stime="2014-03-05T20:00" etime="2014-03-05T21:00"><name>Tagesschau</name></evt>
    <evt id="3" stime="2014-03-05T21:00" etime="2014-03-05T22:00"><name>Tatort</name></evt>
    <evt id="4" stime="2014-03-05T22:00" etime="2014-03-05T23:30"><name>Tagesthemen</name></evt>
    <evt id="5" stime="2014-03-06T00:10" etime="2014-03-06T01:00"><name>Nachtmagazin</name></evt>)";

class GuideViewTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CKelvoRes::Instance().Load(); }

    void SetUp() override
    {
        ASSERT_TRUE(box.Load());
        ASSERT_TRUE(box.Guide(kEvents));
        view.resize(700, 420);
        view.show();
        // The frame: sends the schedule to the box and tells the view which event changed.
        frame =
            QObject::connect(&messages, &CMainFrameMessages::setSchedule, [this](const CScheduleElement& s) {
                if (box.db.SetSchedule(s) == 0)
                    view.SetEventId(s.eventId);
            });
    }

    CKelvoEPGListBox& List() { return *view.List(); }
    std::vector<int> Ids() { return ShownIds(List()); }
    QPoint Part(int row, int part) { return PartCentre(List(), row, part); }
    int Row(int eventId) { return List().Rows().FindEvent(eventId); }
    const CScheduleElement* ScheduleOf(int eventId) { return List().Rows().ScheduleOf(box.db, Row(eventId)); }
    QImage Shot() { return List().grab().toImage(); }

    GuideBox box;
    CMainFrameMessages messages;
    QMetaObject::Connection frame;
    qint64 now = Local(2014, 3, 5, 21, 15);
    CKelvoViewEPG view{box.db, messages, [this] { return now; }};
};

TEST_F(GuideViewTest, CaptionAndBackButton)
{
    QWidget* content = view.CaptionContent();
    ASSERT_NE(content, nullptr);
    EXPECT_EQ(content->height(), 38);
    EXPECT_EQ(content->parentWidget(), &view) << "hidden in the view until the frame gives it to its caption bar";
    EXPECT_FALSE(content->isVisibleTo(&view));
    EXPECT_EQ(view.Caption()->Text(), "No Information");

    CNxButton* back = view.BackButton();
    EXPECT_EQ(back->CommandId(), Kelvo::ID_GUIDE_TV);
    EXPECT_EQ(back->text(), "TV");
    EXPECT_EQ(back->pos(), QPoint(4, 1));
    QSignalSpy command(back, &CNxButton::command);
    content->resize(800, 38);
    content->show();
    QTest::mouseClick(back, Qt::LeftButton);
    ASSERT_EQ(command.count(), 1);
    EXPECT_EQ(command[0][0].toInt(), Kelvo::ID_GUIDE_TV);

    ASSERT_TRUE(view.SetService(Key12()));
    const CKelvoEPGCaption& caption = *view.Caption();
    EXPECT_EQ(caption.Text(), "0007 Eins");
    EXPECT_EQ(caption.IconRect().width(), 14) << "scrambled mark";
    EXPECT_GE(caption.NameRect().left(), caption.IconRect().right());
    EXPECT_NEAR(caption.geometry().center().x(), content->rect().center().x(), 1) << "centred in the bar";
    content->resize(600, 38);
    EXPECT_NEAR(caption.geometry().center().x(), content->rect().center().x(), 1);

    EXPECT_TRUE(view.SetService(-1));
    EXPECT_EQ(view.Caption()->Text(), "No Information");
    EXPECT_EQ(List().GetCount(), 0);
    EXPECT_EQ(List().EmptyText(), "No Information");
}

TEST_F(GuideViewTest, TimerButtonOpensTheEditForm)
{
    // Event 3 has a single schedule, event 4 belongs to a series.
    ASSERT_TRUE(box.Load(R"(
        <alarm id="7" type="1" mode="2" stime="2014-03-05T21:00" etime="2014-03-05T22:00">
          <svc sat="3" type="0" idx="12"/><evt id="3">Tatort</evt></alarm>
        <alarm id="8" type="1" mode="1" stime="2014-03-05T22:00" etime="2014-03-05T23:30">
          <svc sat="3" type="0" idx="12"/><evt id="4">Tagesthemen</evt><series id="2">S</series></alarm>)"));
    ASSERT_TRUE(box.Guide(kEvents));
    ASSERT_TRUE(view.SetService(Key12()));
    QSignalSpy edit(&messages, &CMainFrameMessages::editSchedule);

    uitest::Click(&List(), Part(Row(2), CKelvoEPGListBox::PartTimer));
    ASSERT_EQ(edit.count(), 1);
    auto s = edit.takeFirst()[0].value<CScheduleElement>();
    EXPECT_EQ(s.id, 0);
    EXPECT_EQ(s.type, 0);
    EXPECT_EQ(s.mode, 1);
    EXPECT_EQ(s.eventId, 2);
    EXPECT_EQ(s.start, Local(2014, 3, 5, 20, 0));

    uitest::Click(&List(), Part(Row(3), CKelvoEPGListBox::PartTimer));
    ASSERT_EQ(edit.count(), 1);
    s = edit.takeFirst()[0].value<CScheduleElement>();
    EXPECT_EQ(s.id, 7);
    EXPECT_EQ(s.mode, 2);

    uitest::Press(&List(), Part(Row(4), CKelvoEPGListBox::PartTimer));
    EXPECT_EQ(List().PressedRow(), -1) << "a series member is edited from the schedule page";
    uitest::Release(&List(), Part(Row(4), CKelvoEPGListBox::PartTimer));
    EXPECT_EQ(edit.count(), 0);

    // Pressed, then released elsewhere: nothing.
    uitest::Press(&List(), Part(Row(3), CKelvoEPGListBox::PartTimer));
    EXPECT_EQ(List().PressedRow(), Row(3));
    uitest::Move(&List(), Part(Row(3), CKelvoEPGListBox::PartIcon), true);
    uitest::Release(&List(), Part(Row(3), CKelvoEPGListBox::PartIcon));
    EXPECT_EQ(List().PressedRow(), -1);
    EXPECT_EQ(edit.count(), 0);
}

// 06:00 to 06:00 the next day is 0 minutes long by the length rule: its bar is drawn full width
// instead of dividing by zero. An event that starts and ends at once is never on air.
TEST_F(GuideViewTest, EventsOfNoLengthDrawAFullBarOrNone)
{
    ASSERT_TRUE(
        box.Guide(R"(<evt id="9" stime="2014-03-05T06:00" etime="2014-03-06T06:00"><name>Day</name></evt>
                             <evt id="10" stime="2014-03-05T21:15" etime="2014-03-05T21:15"><name>Now</name></evt>)"));
    ASSERT_TRUE(view.SetService(Key12()));
    ASSERT_EQ(Ids(), (std::vector<int>{9, 10}));
    const QRgb blue = KelvoRes().imgProgressBlue43.Frame(0).toImage().pixel(0, 3);
    const QImage img = Shot();
    const QRect day = List().GetItemRect(0);
    EXPECT_EQ(img.pixel(day.left() + 2, day.top() + 3), blue);
    EXPECT_EQ(img.pixel(day.right() - 2, day.top() + 3), blue);
    const QRect none = List().GetItemRect(1);
    EXPECT_EQ(img.pixel(none.center().x(), none.top() + 3), qRgb(0, 0, 0));
    List().AdvanceProgress();
    EXPECT_EQ(List().OnAirRow(), 0);
}

TEST_F(GuideViewTest, ScrollToNowAndUpdates)
{
    std::string many;
    for (int h = 0; h < 24; ++h)
        many += QStringLiteral(R"(<evt id="%1" stime="2014-03-05T%2:00" etime="2014-03-05T%2:59"/>)")
                    .arg(h + 10)
                    .arg(h, 2, 10, QLatin1Char('0'))
                    .toStdString();
    ASSERT_TRUE(box.Guide(many));
    ASSERT_TRUE(view.SetService(Key12()));
    EXPECT_EQ(List().GetTopIndex(), 0);
    view.ScrollToNow();
    EXPECT_EQ(List().GetTopIndex(), 21 - List().PageRows() + 1) << "21:00 is the first that has not ended";
    now = Local(2014, 3, 6, 0, 0);
    List().SetTopIndex(0);
    view.ScrollToNow();
    EXPECT_EQ(List().GetTopIndex(), 0) << "all ended: nothing moves";

    // Around a reload nothing is read and nothing is sent. The reload empties the guide record;
    // the frame has the shown service's guide loaded again and gives the view its service.
    now = Local(2014, 3, 5, 12, 30);
    QSignalSpy sent(&messages, &CMainFrameMessages::setSchedule);
    List().SetTopIndex(15);
    const QPoint toCome = Part(20, CKelvoEPGListBox::PartIcon); // 20:00, a press would set a timer
    view.BeginUpdate();
    EXPECT_FALSE(List().ProgressTimerActive());
    ASSERT_TRUE(box.Load());
    uitest::Click(&List(), toCome);
    EXPECT_EQ(sent.count(), 0);
    ASSERT_TRUE(box.Guide(many));
    EXPECT_TRUE(view.SetService(Key12()));
    view.EndUpdate();
    EXPECT_TRUE(List().ProgressTimerActive());
    EXPECT_EQ(List().GetCount(), 24) << "the reloaded guide's rows are back";
    EXPECT_EQ(view.Day(), Local(2014, 3, 5, 21, 15)) << "the box day of the reloaded guide";
    view.StopProgressTimer();
    EXPECT_FALSE(List().ProgressTimerActive());
}

// A guide reply whose second event cannot be read, read straight into the guide record: the record
// is left with the first event and none of those the list was filled from. The rows are values,
// so paint, hover, the progress tick and presses still work on them; under AddressSanitizer any
// use of a deleted event would abort. The next refill takes what the record holds.
TEST_F(GuideViewTest, NoDeletedEventIsUsedAfterALoadFailsHalfWay)
{
    ASSERT_TRUE(view.SetService(Key12()));
    ASSERT_EQ(Ids(), (std::vector<int>{2, 3, 4}));
    QObject::disconnect(frame);
    QSignalSpy sent(&messages, &CMainFrameMessages::setSchedule);
    QSignalSpy edit(&messages, &CMainFrameMessages::editSchedule);

    box.reader.inPlace = true;
    view.BeginUpdate();
    EXPECT_FALSE(
        box.Guide(R"(<evt id="30" stime="2014-03-05T22:30" etime="2014-03-05T23:00"><name>Neu</name></evt>
                              <evt id="31" stime="2014-03-05T23:00" etime="2014-03-05T25:61"/>)"));
    view.EndUpdate();
    ASSERT_EQ(box.db.Guide().events.size(), 1u);
    ASSERT_EQ(box.db.Guide().events[0]->id, 30);

    (void)Shot();
    uitest::Move(&List(), Part(Row(4), CKelvoEPGListBox::PartIcon), false);
    (void)Shot();
    uitest::Click(&List(), Part(Row(4), CKelvoEPGListBox::PartIcon));
    uitest::Click(&List(), Part(Row(4), CKelvoEPGListBox::PartTimer));
    List().AdvanceProgress(); // what the progress timer does every 5 s
    EXPECT_EQ(List().OnAirRow(), Row(3));
    ASSERT_EQ(sent.count(), 1);
    EXPECT_EQ(sent[0][0].value<CScheduleElement>().eventId, 4) << "the row's own event, from its values";
    EXPECT_EQ(sent[0][0].value<CScheduleElement>().start, Local(2014, 3, 5, 22, 0));
    ASSERT_EQ(edit.count(), 1);
    EXPECT_EQ(edit[0][0].value<CScheduleElement>().eventName, "Tagesthemen");

    // The schedules changed (the frame refreshes the view), then the frame shows the service again.
    view.RefreshContent();
    EXPECT_EQ(Ids(), (std::vector<int>{30}));
    EXPECT_TRUE(view.SetService(Key12()));
    EXPECT_EQ(Ids(), (std::vector<int>{30}));
    view.ShowNextDay();
    view.ShowPrevDay();
    EXPECT_EQ(Ids(), (std::vector<int>{30}));
    (void)Shot();
}

} // namespace
