// "My Schedule", the series list and the timer edit form against the demo box on loopback. The
// test stands in for the main frame: it hands the views' messages to the box controller, as the
// frame does, and reads what went out in the box's request log.
#include "DemoBoxProcess.h"
#include "RawHttp.h"
#include "app/CBoxController.h"
#include "commands/CMainFrameMessages.h"
#include "model/CQuarnDataModel.h"
#include "model/ServiceKey.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"
#include "tests/support/DemoBoxTestSupport.h"
#include "tests/support/TestHelpers.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/CKelvoButton.h"
#include "ui/CKelvoComboBox.h"
#include "ui/CKelvoRes.h"
#include "views/schedule/CKelvoPageSchedule.h"
#include "views/schedule/CKelvoScheduleListBox.h"
#include "views/schedule/CKelvoSeriesListBox.h"
#include "views/schedule/CKelvoViewSchedule.h"
#include "views/schedule/CKelvoViewScheduleEdit.h"
#include "views/schedule/CScheduleEditParts.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMap>
#include <QStringList>
#include <QUrl>
#include <gtest/gtest.h>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kScheduleMode = 1;

// The parameters of one set_alarm the box received, quotes removed.
using Alarm = QMap<QString, QString>;

// "Y-M-DTh:m" in local time without leading zeros, as the box reads its times.
QString BoxText(qint64 t)
{
    const QDateTime d = QDateTime::fromSecsSinceEpoch(t);
    return QStringLiteral("%1-%2-%3T%4:%5")
        .arg(d.date().year())
        .arg(d.date().month())
        .arg(d.date().day())
        .arg(d.time().hour())
        .arg(d.time().minute());
}

class ScheduleOnBox : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { CKelvoRes::Instance().Load(); }

    void SetUp() override
    {
        ASSERT_TRUE(ConnectToDemoBox(wrapper, box));
        wrapper.localAddressProvider = [] { return QStringList{QStringLiteral("127.0.0.1")}; };

        page.SetUiModeQuery([] { return kScheduleMode; });
        page.resize(321, 570);
        view.resize(701, 500);
        form.resize(701, 500);
        form.SetDeleteConfirmation([this] {
            ++questions;
            return answerYes;
        });

        // What the main frame does with the messages and the controller's signals.
        QObject::connect(&messages, &CMainFrameMessages::editSchedule, [this](const CScheduleElement& s) {
            if (s.seriesId >= 0) {
                view.FillMembers(s);
                return;
            }
            view.ClearMembers();
            form.Load(s);
        });
        QObject::connect(&messages, &CMainFrameMessages::setSchedule, [this](const CScheduleElement& s) {
            if (ctl.SetSchedule(s) == 0)
                page.RefreshContent();
        });
        QObject::connect(&ctl, &CBoxController::failure, [this](const QString& caption, const QString& text) {
            failures << caption + "|" + text;
        });
        QObject::connect(&ctl, &CBoxController::updateBegins, [this] {
            page.BeginUpdate();
            view.BeginUpdate();
        });
        QObject::connect(&ctl, &CBoxController::updateEnds, [this] {
            page.EndUpdate();
            view.EndUpdate();
        });
        QObject::connect(&ctl, &CBoxController::reloaded, [this] {
            view.ClearMembers();
            page.RefreshContent();
        });
        ASSERT_TRUE(ctl.Reload());
        ASSERT_FALSE(db.Schedules().empty());
        ClearLog();
    }

    void ClearLog() { rawRequest(box.port(), "GET", "/demobox/log?clear=1"); }

    // Every set_alarm since the log was last cleared.
    std::vector<Alarm> SetAlarms()
    {
        std::vector<Alarm> out;
        const RawReply reply = rawRequest(box.port(), "GET", "/demobox/log");
        for (const QString& line : QString::fromStdString(reply.body).split(QLatin1Char('\n'))) {
            const QString text = QUrl::fromPercentEncoding(line.toUtf8());
            const qsizetype at = text.indexOf(QStringLiteral("set_alarm&"));
            if (at < 0)
                continue;
            Alarm alarm;
            for (const QString& part : text.mid(at).split(QLatin1Char('&'))) {
                const qsizetype eq = part.indexOf(QLatin1Char('='));
                if (eq > 0)
                    alarm[part.left(eq)] = part.mid(eq + 1).remove(QLatin1Char('"')).trimmed();
            }
            out.push_back(alarm);
        }
        return out;
    }

    int RowOf(int id) const
    {
        const auto& rows = page.List()->Rows().Rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i].isNew && rows[i].schedule.id == id)
                return static_cast<int>(i);
        }
        return -1;
    }

    void ClickRow(int row)
    {
        const int h = CKelvoScheduleListBox::kRowHeight;
        page.List()->EnsureVisible(row);
        const QRect r = page.List()->GetItemRect(row);
        uitest::Click(page.List(), QPoint(40, r.top() + h / 2));
    }

    // A timer of a TV service made on the box, with the given local start and length.
    int MakeTimer(qint64 start, qint64 length)
    {
        const CServiceElement* tv = nullptr;
        for (const auto& s : db.Services())
            tv = !tv && s->type == 0 ? s.get() : tv;
        auto made = db.MakeSchedule(tv->type, tv->idx, 1, 1, nullptr);
        made->start = start;
        made->end = start + length;
        if (ctl.SetSchedule(*made) != 0)
            return -1;
        ctl.Reload();
        ClearLog();
        for (const auto& s : db.Schedules()) {
            if (s->seriesId < 0 && s->start == start)
                return s->id;
        }
        return -1;
    }

    CKelvoButton* DeleteButton() const
    {
        for (CKelvoButton* b : form.findChildren<CKelvoButton*>()) {
            if (b->CommandId() == CKelvoViewScheduleEdit::IDC_DELETE)
                return b;
        }
        return nullptr;
    }

    DemoBoxProcess box{std::vector<std::string>{"--no-ffmpeg", "--no-upnp"}};
    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
    CBoxController ctl{db, wrapper};
    CMainFrameMessages messages;
    qint64 lastNow = 0;
    CKelvoPageSchedule page{db, messages, [this] { return lastNow = ctl.BoxTime(); }};
    CKelvoViewSchedule view{db, messages};
    CKelvoViewScheduleEdit form{db, messages, [this] { return ctl.BoxTime(); }};
    QStringList failures;
    int questions = 0;
    bool answerYes = true;
};

TEST_F(ScheduleOnBox, NewTimerFromThePlusRowChangedAndDeleted)
{
    // The "+" row: Recording, Once, five minutes after the box's clock, one hour.
    const int entries = static_cast<int>(db.Schedules().size());
    ASSERT_EQ(page.List()->GetCount(), entries + 1);
    ClickRow(entries);
    ASSERT_GT(lastNow, 0);
    EXPECT_EQ(form.WorkingRecord().id, 0);
    ASSERT_NE(DeleteButton(), nullptr);
    EXPECT_FALSE(DeleteButton()->isEnabled()) << "nothing on the box to delete yet";
    form.Save();
    ASSERT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char(';')).toStdString();
    auto sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["alarm_id"], QStringLiteral("0"));
    EXPECT_EQ(sent[0]["alarm_type"], QStringLiteral("1"));
    EXPECT_EQ(sent[0]["alarm_mode"], QStringLiteral("1"));
    EXPECT_EQ(sent[0]["stime"], BoxText(lastNow + 300));
    EXPECT_EQ(sent[0]["etime"], BoxText(lastNow + 300 + 3600));
    ASSERT_EQ(static_cast<int>(db.Schedules().size()), entries + 1);
    const int id = db.Schedules().back()->id;
    ASSERT_GT(id, 0);
    ASSERT_GE(RowOf(id), 0) << "the page was refilled with the box's new timer";

    // Opened from its row and changed: Play, Daily, ninety minutes.
    ClickRow(RowOf(id));
    ASSERT_EQ(form.WorkingRecord().id, id);
    const qint64 start = form.WorkingRecord().start;
    auto combos = form.findChildren<CKelvoComboBox*>();
    ASSERT_EQ(combos.size(), 2);
    combos[0]->setCurrentIndex(combos[0]->findData(0));
    combos[1]->setCurrentIndex(combos[1]->findData(2));
    form.findChild<CScheduleDurationEdit*>()->SetMinutes(90);
    ClearLog();
    form.Save();
    sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["alarm_id"], QString::number(id));
    EXPECT_EQ(sent[0]["alarm_type"], QStringLiteral("0"));
    EXPECT_EQ(sent[0]["alarm_mode"], QStringLiteral("2"));
    EXPECT_EQ(sent[0]["stime"], BoxText(start));
    EXPECT_EQ(sent[0]["etime"], BoxText(start + 90 * 60));
    ASSERT_NE(db.FindSchedule(id), nullptr);
    EXPECT_EQ(db.FindSchedule(id)->mode, 2);
    EXPECT_EQ(db.FindSchedule(id)->end - db.FindSchedule(id)->start, 90 * 60);

    // Delete: No sends nothing, Yes sends mode 0 and the timer is gone.
    ClickRow(RowOf(id));
    EXPECT_TRUE(DeleteButton()->isEnabled());
    ClearLog();
    answerYes = false;
    form.Delete();
    EXPECT_EQ(questions, 1);
    EXPECT_TRUE(SetAlarms().empty());
    EXPECT_NE(db.FindSchedule(id), nullptr);
    answerYes = true;
    form.Delete();
    EXPECT_EQ(questions, 2);
    sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["alarm_id"], QString::number(id));
    EXPECT_EQ(sent[0]["alarm_mode"], QStringLiteral("0"));
    EXPECT_EQ(db.FindSchedule(id), nullptr);
    EXPECT_EQ(RowOf(id), -1);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char(';')).toStdString();
}

TEST_F(ScheduleOnBox, SeriesEpisodeOffAndOn)
{
    int row = -1;
    const auto& rows = page.List()->Rows().Rows();
    for (size_t i = 0; i < rows.size() && row < 0; ++i)
        row = !rows[i].isNew && rows[i].schedule.seriesId >= 0 ? static_cast<int>(i) : -1;
    ASSERT_GE(row, 0);
    ClickRow(row);
    CKelvoSeriesListBox* list = view.List();
    ASSERT_GT(list->GetCount(), 0);
    const int id = list->Rows().Rows()[0].member.id;
    EXPECT_EQ(list->Rows().Rows()[0].icon, 3) << "recorded: the red mark";
    EXPECT_EQ(page.List()->Rows().Rows()[static_cast<size_t>(row)].iconFrame, 3);

    const QPoint icon = CKelvoSeriesListBox::IconRect().center();
    uitest::Press(list, icon);
    auto sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["alarm_id"], QString::number(id));
    EXPECT_EQ(sent[0]["alarm_mode"], QStringLiteral("4"));
    ASSERT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char(';')).toStdString();
    // The refilled page announced the series again and the list shows the skipped episode.
    ASSERT_GT(list->GetCount(), 0);
    EXPECT_EQ(list->Rows().Rows()[0].member.id, id);
    EXPECT_EQ(list->Rows().Rows()[0].icon, 2);
    EXPECT_TRUE(list->Rows().Rows()[0].skipped);

    ClearLog();
    uitest::Press(list, icon);
    sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["alarm_mode"], QStringLiteral("1"));
    EXPECT_EQ(list->Rows().Rows()[0].icon, 3);
    EXPECT_EQ(db.FindSchedule(id)->mode, 1);
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char(';')).toStdString();
}

TEST_F(ScheduleOnBox, UnchangedTimersGoBackUnchanged)
{
    // 22:30 to 00:15, a week ahead, where the box has no other timer.
    const QDate day = QDate::currentDate().addDays(8);
    const qint64 start = QDateTime(day, QTime(22, 30)).toSecsSinceEpoch();
    const int id = MakeTimer(start, 105 * 60);
    ASSERT_GT(id, 0);
    ClickRow(RowOf(id));
    ASSERT_EQ(form.WorkingRecord().id, id);
    EXPECT_EQ(form.findChild<CScheduleDurationEdit*>()->Minutes(), 105);
    form.Save();
    auto sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["stime"], BoxText(start));
    EXPECT_EQ(sent[0]["etime"], QStringLiteral("%1-%2-%3T0:15")
                                    .arg(day.addDays(1).year())
                                    .arg(day.addDays(1).month())
                                    .arg(day.addDays(1).day()));
    EXPECT_TRUE(failures.isEmpty()) << failures.join(QLatin1Char(';')).toStdString();

    // A 25-hour timer keeps its 25 hours: what the box thinks of it is the box's answer.
    CScheduleElement longer = *db.FindSchedule(id);
    longer.start = QDateTime(day, QTime(8, 0)).toSecsSinceEpoch();
    longer.end = longer.start + 25 * 3600;
    ASSERT_TRUE(form.Load(longer));
    EXPECT_EQ(form.findChild<CScheduleDurationEdit*>()->Minutes(), 25 * 60);
    ClearLog();
    form.Save();
    sent = SetAlarms();
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0]["stime"], BoxText(longer.start));
    EXPECT_EQ(sent[0]["etime"], BoxText(longer.start + 25 * 3600));
    // The demo box takes no timer longer than a day; the form stays as it was.
    ASSERT_EQ(failures.size(), 1);
    EXPECT_EQ(failures[0], QStringLiteral("Set Schedule Failure|Wrong value"));
    EXPECT_EQ(form.WorkingRecord().end, longer.end);
    EXPECT_EQ(form.RecordFromControls().end, longer.end);
}

TEST_F(ScheduleOnBox, RefusalsShowTheirTexts)
{
    struct Case
    {
        int code;
        const char* text;
    };
    const Case cases[] = {{1, "Slot allocation fail"}, {2, "Collision"}, {3, "Running"},
                          {4, "Wrong value"},          {5, "Unknown"},   {9, "Unknown error"}};
    const CScheduleElement stored = *db.Schedules().back();
    ASSERT_LT(stored.seriesId, 0);
    ASSERT_TRUE(form.Load(stored));
    form.findChild<CScheduleDurationEdit*>()->SetMinutes(50);
    const CScheduleElement before = form.RecordFromControls();
    for (const Case& c : cases) {
        failures.clear();
        const std::string fault =
            "/demobox/fault?cmd=set_alarm&mode=error&arg=" + std::to_string(c.code) + "&count=1";
        ASSERT_EQ(rawRequest(box.port(), "GET", fault).status, 200);
        form.Save();
        ASSERT_EQ(failures.size(), 1) << c.code;
        EXPECT_EQ(failures[0], QStringLiteral("Set Schedule Failure|") + QString::fromLatin1(c.text))
            << c.code;
        // The form keeps what the user entered; the database keeps the box's timer.
        EXPECT_EQ(form.RecordFromControls().end, before.end) << c.code;
        EXPECT_EQ(db.FindSchedule(stored.id)->end, stored.end) << c.code;
    }
    EXPECT_EQ(SetAlarms().size(), std::size(cases));
}

// A Type or Mode without a choice would go out as -1: Save says which one is missing and sends
// nothing; the form keeps what the user entered.
TEST_F(ScheduleOnBox, SaveWithoutATypeOrModeSendsNothing)
{
    QStringList notices;
    form.SetNotice([&](const QString& caption, const QString& text) { notices << caption + "|" + text; });
    struct Case
    {
        int type;
        int mode;
        const char* notice;
    };
    const Case cases[] = {{7, 1, "Timer Edit|Type: choose Play or Recording."},
                          {1, 9, "Timer Edit|Mode: choose Once, Daily or Weekly."},
                          {-1, -1, "Timer Edit|Type: choose Play or Recording."}};
    const CScheduleElement stored = *db.Schedules().back();
    ASSERT_LT(stored.seriesId, 0);
    CKelvoButton* save = nullptr;
    for (CKelvoButton* b : form.findChildren<CKelvoButton*>())
        save = b->CommandId() == CKelvoViewScheduleEdit::IDC_SAVE ? b : save;
    ASSERT_NE(save, nullptr);
    for (const Case& c : cases) {
        CScheduleElement odd = stored;
        odd.type = c.type;
        odd.mode = c.mode;
        ASSERT_TRUE(form.Load(odd)) << c.notice;
        form.findChild<CScheduleDurationEdit*>()->SetMinutes(50);
        const CScheduleElement before = form.RecordFromControls();
        ClearLog();
        notices.clear();
        failures.clear();
        uitest::Click(save, save->rect().center());
        EXPECT_EQ(rawRequest(box.port(), "GET", "/demobox/log").body, "") << c.notice;
        EXPECT_EQ(notices, QStringList{QString::fromLatin1(c.notice)});
        EXPECT_TRUE(failures.isEmpty()) << failures.join(u'\n').toStdString();
        const CScheduleElement after = form.RecordFromControls();
        EXPECT_EQ(after.end, before.end) << c.notice;
        EXPECT_EQ(after.type, before.type) << c.notice;
        EXPECT_EQ(after.mode, before.mode) << c.notice;
        EXPECT_EQ(db.FindSchedule(stored.id)->end, stored.end) << c.notice;
    }

    // Both chosen: it goes out.
    auto combos = form.findChildren<CKelvoComboBox*>();
    ASSERT_EQ(combos.size(), 2);
    combos[0]->setCurrentIndex(1); // Recording
    combos[1]->setCurrentIndex(0); // Once
    notices.clear();
    uitest::Click(save, save->rect().center());
    EXPECT_TRUE(notices.isEmpty());
    ASSERT_EQ(SetAlarms().size(), 1u);
    EXPECT_EQ(SetAlarms()[0]["alarm_type"], QStringLiteral("1"));
    EXPECT_EQ(SetAlarms()[0]["alarm_mode"], QStringLiteral("1"));
}

TEST_F(ScheduleOnBox, RefillWithFewerTimersKeepsAScheduleRowSelected)
{
    // The last timer selected, then deleted: the selection moves up to the new last timer and the
    // page opens it, never the "+" row.
    const int entries = static_cast<int>(db.Schedules().size());
    ASSERT_LT(db.Schedules().back()->seriesId, 0) << "the box lists its single timers last";
    ClickRow(entries - 1);
    const int id = form.WorkingRecord().id;
    ASSERT_EQ(id, db.Schedules().back()->id);
    form.Delete();
    ASSERT_EQ(db.FindSchedule(id), nullptr);
    EXPECT_EQ(page.List()->GetCount(), entries);
    EXPECT_EQ(page.List()->GetCurSel(), entries - 2);
    EXPECT_FALSE(page.List()->Rows().Rows()[static_cast<size_t>(entries - 2)].isNew);
    const CScheduleElement& last = *db.Schedules().back();
    if (last.seriesId < 0)
        EXPECT_EQ(form.WorkingRecord().id, last.id) << "announced again after the refill";
    else
        EXPECT_EQ(view.List()->Rows().Rows()[0].member.seriesId, last.seriesId);
}

} // namespace
