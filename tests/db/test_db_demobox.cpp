// The database against the demo box, which is written from the box's side of the protocol: a full
// reload, a guide, a schedule made from a guide event and deleted again, and a streaming start,
// for a new-form and an old-form box, with UTF-8 and with single-byte replies.
#include "DemoBoxProcess.h"
#include "tests/db/DbTestSupport.h"

#include <QDateTime>
#include <algorithm>
#include <string>
#include <vector>

using namespace dbtest;

namespace {

struct BoxKind
{
    const char* name;
    std::vector<std::string> args;
};

class DemoBoxTest : public ::testing::TestWithParam<BoxKind>
{
};

TEST_P(DemoBoxTest, ReloadGuideScheduleAndStream)
{
    std::vector<std::string> args{"--no-ffmpeg", "--no-upnp"};
    args.insert(args.end(), GetParam().args.begin(), GetParam().args.end());
    DemoBoxProcess box(args);
    ASSERT_TRUE(box.ok()) << box.error();

    CQuarnWrapper wrapper;
    wrapper.address = QString::fromStdString(box.host());
    wrapper.port = box.port();
    wrapper.localAddressProvider = [] { return QStringList{"127.0.0.1"}; };
    CQuarnXML reader(wrapper);
    CQuarnDataModel db(reader);

    ASSERT_TRUE(db.UpdateService());
    EXPECT_SOUND(db);
    ASSERT_FALSE(db.Services().empty());
    EXPECT_FALSE(db.Groups().empty());
    EXPECT_FALSE(db.IsLocked()); // the default PIN is the box's
    for (const auto& s : db.Services()) {
        ASSERT_FALSE(s->name.isEmpty()) << s->key;
        ASSERT_NE(db.FindTransponder(s->tpIdx), nullptr);
    }

    // The guide of a TV service, and a schedule made from its first event that starts a while after
    // the box's present time: the box refuses to delete a timer while it runs, and its guide
    // begins at local midnight, so a fixed position would be on air at some hours of the day.
    const CServiceElement* tv = nullptr;
    for (const auto& s : db.Services()) {
        if (s->type == 0) {
            tv = s.get();
            break;
        }
    }
    ASSERT_NE(tv, nullptr);
    ASSERT_TRUE(db.UpdateEPG(tv->type, tv->idx));
    EXPECT_SOUND(db);
    ASSERT_GE(db.Guide().events.size(), 2u);
    EXPECT_EQ(db.Guide().svcType, tv->type);
    EXPECT_EQ(db.Guide().svcIdx, tv->idx);
    EXPECT_NEAR(static_cast<double>(db.Guide().boxTime),
                static_cast<double>(QDateTime::currentSecsSinceEpoch()), 120.0);
    const auto& events = db.Guide().events;
    const auto later = std::find_if(events.begin(), events.end(), [&](const auto& e) {
        return e->start >= db.Guide().boxTime + 15 * 60;
    });
    ASSERT_NE(later, events.end()) << "the guide reaches beyond the next quarter of an hour";
    const size_t at = static_cast<size_t>(later - events.begin());
    const CEventElement& event = **later;
    const auto schedule = db.MakeSchedule(tv->type, tv->idx, 1, 1, &event);
    ASSERT_TRUE(schedule);
    const size_t before = db.Schedules().size();
    ASSERT_EQ(db.SetSchedule(*schedule), 0);
    EXPECT_SOUND(db);
    ASSERT_EQ(db.Schedules().size(), before + 1);
    const CScheduleElement* stored = db.Schedules().back().get();
    EXPECT_GT(stored->id, 0);
    EXPECT_EQ(stored->service, tv);
    EXPECT_EQ(stored->start, event.start);
    EXPECT_EQ(db.Guide().events[at]->schedule, stored);

    // The box keeps it: a reload brings it back. A reload replaces every record, so only keys
    // survive it.
    const int id = stored->id;
    const int tvKey = tv->key;
    ASSERT_TRUE(db.UpdateService());
    tv = db.FindService(tvKey);
    ASSERT_NE(tv, nullptr);
    ASSERT_NE(db.FindSchedule(id), nullptr);
    CScheduleElement removal = *db.FindSchedule(id);
    removal.mode = 0;
    EXPECT_EQ(db.SetSchedule(removal), 0);
    EXPECT_EQ(db.FindSchedule(id), nullptr);
    EXPECT_SOUND(db);

    EXPECT_EQ(db.StartStreaming(tv), 0);
    ASSERT_TRUE(db.UpdateService());
    ASSERT_NE(db.FindService(tvKey), nullptr);
    EXPECT_TRUE(db.FindService(tvKey)->streaming);
    EXPECT_EQ(db.StopStreaming(), 0);
    int code = -1;
    EXPECT_TRUE(db.SendRemoteKey(1, 0, &code));
    EXPECT_EQ(code, 0);

    // A PIN the box refuses leaves the database locked.
    db.Settings().pinCode = "0000";
    ASSERT_TRUE(db.UpdateService());
    EXPECT_TRUE(db.IsLocked());
    EXPECT_SOUND(db);
}

INSTANTIATE_TEST_SUITE_P(Boxes, DemoBoxTest,
                         ::testing::Values(BoxKind{"new_form", {}},
                                           BoxKind{"old_form", {"--protocol-version", "1.2"}},
                                           BoxKind{"single_byte", {"--single-byte", "--services", "2000"}}),
                         [](const ::testing::TestParamInfo<BoxKind>& param) {
                             return std::string(param.param.name);
                         });

} // namespace
