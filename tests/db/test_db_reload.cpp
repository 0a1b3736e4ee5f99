// Reading a full reload: favourites, the service list, schedules, the PIN check and the status,
// from replies injected as if the box had sent them.
#include "protocol/CQuarnXML.h"
#include "tests/db/DbTestSupport.h"

#include <cctype>
#include <vector>

using namespace dbtest;

namespace {

const char* const kBox = R"(
<pin error="0"/>
<fav_group>
  <fav idx="0" sat_idx="0" blocked="0">News</fav>
  <fav idx="1" sat_idx="20" blocked="1">Late</fav>
  <fav idx="2" sat_idx="2" blocked="0" encoding="x-other">Sport</fav>
</fav_group>
<svc_list>
  <sat idx="3" degree="192" name="Astra">
    <tp idx="7" freq="11494" polar="1" sr="22000" tsid="1101" orgnetid="1" netname="ARD"
        change_svc_possibility="1" streaming_possibility="1">
      <svc idx="12" type="0" sid="28106" vpid="101" apid="102" ppid="104" scrambled="0" blocked="1" fav="5">
        <service num="1" lcn="10">Das Erste</service>
        <evt id="500" stime="2014-03-05T21:00" etime="2014-03-05T21:45"><name>Tagesthemen</name>
          <text encoding="UTF-8">Nachrichten</text></evt>
        <recording duration="01:30" rectime="2014-03-05T20:00"/>
      </svc>
      <svc idx="13" type="0" fav="2"><service num="2">Late one</service></svc>
      <svc idx="1" type="1" scrambled="1"><service num="3">Radio</service></svc>
    </tp>
  </sat>
  <sat idx="1" degree="130" name="Hotbird">
    <tp idx="8" streaming_possibility="0">
      <svc idx="14" type="0" fav="4"><service>Sport 1</service></svc>
    </tp>
  </sat>
  <sat idx="2" degree="235" name="Astra 3"/>
</svc_list>
<alarm_list>
  <alarm id="4" type="1" mode="1" days="0" stime="2014-03-06T20:00" etime="2014-03-06T21:00">
    <svc sat="3" type="0" idx="12">Das Erste</svc><evt id="501">Film</evt></alarm>
  <alarm id="5" type="0" mode="3" days="127" stime="2014-03-07T20:00" etime="2014-03-07T21:00">
    <svc sat="3" type="0" idx="99">Gone</svc><series id="4">Serie</series></alarm>
  <alarm id="6" type="0" mode="1" days="0" stime="2014-03-08T20:00" etime="2014-03-08T21:00">
    <svc sat="3" type="0" idx="12"/><series id="4">Serie</series></alarm>
</alarm_list>
<streaming status="1"><net protocol="0" client_ip="192.168.0.20" client_port="5004" url="rtp://x"/>
  <svc idx="14" type="0"><service num="4" lcn="40">Sport 1</service>
    <info scrambled="0" teletext="1" subtitle="0" dolby="1" hd="1" multifeed="0"/>
    <evt id="9" stime="2014-03-05T21:00" etime="2014-03-05T22:00"><name>Match</name></evt></svc>
</streaming>
<live><svc idx="1" type="1"><service>Radio</service></svc></live>
)";

class ReloadTest : public ::testing::Test
{
protected:
    // Whatever a test did to the database, its rules still hold.
    void TearDown() override { EXPECT_SOUND(db); }

    std::vector<QString> GroupNames() const
    {
        std::vector<QString> names;
        for (const auto& g : db.Groups())
            names.push_back(g->name);
        return names;
    }

    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
};

TEST_F(ReloadTest, ReadsAWholeBox)
{
    ASSERT_TRUE(Reload(db, wrapper, Reply(kBox)));
    EXPECT_SOUND(db);

    // The blocked group has no entry; groups sort in among the satellites by their sat_idx.
    EXPECT_EQ(GroupNames(), (std::vector<QString>{"News", "Hotbird", "Sport", "Astra 3", "Astra"}));
    ASSERT_EQ(db.FavoriteGroups().size(), 3u);
    EXPECT_TRUE(db.FavoriteGroups()[1]->blocked);
    EXPECT_EQ(db.FavoriteGroups()[2]->nameEncoding, "x-other");
    EXPECT_EQ(db.FindGroup(0)->degree, 0);
    EXPECT_EQ(db.FindGroup(0)->favoriteGroup, db.FavoriteGroups()[0].get());

    // The service of the blocked group is withheld although the PIN was accepted.
    EXPECT_FALSE(db.IsLocked());
    ASSERT_EQ(db.Services().size(), 3u);
    EXPECT_EQ(db.FindService(MakeServiceKey(0, 13)), nullptr);
    const CServiceElement* erste = db.FindService(MakeServiceKey(0, 12));
    ASSERT_NE(erste, nullptr);
    EXPECT_EQ(erste, db.Services()[0].get());
    EXPECT_EQ(erste->satIdx, 3);
    EXPECT_EQ(erste->tpIdx, 7);
    EXPECT_TRUE(erste->streamingPossible);
    EXPECT_EQ(erste->sid, 28106);
    EXPECT_EQ(erste->vpid, 101);
    EXPECT_EQ(erste->apid, 102);
    EXPECT_EQ(erste->ppid, 104);
    EXPECT_TRUE(erste->blocked);
    EXPECT_FALSE(erste->scrambled);
    EXPECT_EQ(erste->fav, 5);
    EXPECT_EQ(erste->num, 1);
    EXPECT_EQ(erste->lcn, 10);
    EXPECT_EQ(erste->name, "Das Erste");
    EXPECT_EQ(erste->presentEvent.id, 500);
    EXPECT_EQ(erste->presentEvent.start, Local(2014, 3, 5, 21, 0));
    EXPECT_EQ(erste->presentEvent.end, Local(2014, 3, 5, 21, 45));
    EXPECT_EQ(erste->presentEvent.name, "Tagesthemen");
    EXPECT_EQ(erste->presentEvent.text, "Nachrichten");
    EXPECT_EQ(erste->presentEvent.textEncoding, "UTF-8");
    EXPECT_EQ(erste->recDuration, "01:30");
    EXPECT_EQ(erste->recTime, "2014-03-05T20:00");
    CServiceElement* radio = db.Services()[1].get();
    EXPECT_EQ(radio->key, MakeServiceKey(1, 1));
    EXPECT_TRUE(radio->scrambled);
    EXPECT_EQ(db.Services()[2]->num, 0); // no num given
    EXPECT_FALSE(db.Services()[2]->streamingPossible);

    // Members of groups and satellites, in reply order.
    EXPECT_EQ(db.FindGroup(0)->MemberServices(), RefList<CServiceElement>{db.Services()[0].get()});
    EXPECT_EQ(db.FindGroup(2)->MemberServices(),
              (RefList<CServiceElement>{db.Services()[0].get(), db.Services()[2].get()}));
    EXPECT_EQ(db.FindGroup(3)->MemberServices(), (RefList<CServiceElement>{db.Services()[0].get(), radio}));
    EXPECT_TRUE(db.FindGroup(2)->services.empty());

    const CTransponderElement* tp = db.FindTransponder(7);
    ASSERT_NE(tp, nullptr);
    EXPECT_EQ(tp->freq, 11494);
    EXPECT_EQ(tp->polar, 1);
    EXPECT_EQ(tp->sr, 22000);
    EXPECT_EQ(tp->tsid, 1101);
    EXPECT_EQ(tp->orgnetid, 1);
    EXPECT_EQ(tp->netname, "ARD");
    EXPECT_TRUE(tp->changeSvcPossibility);
    EXPECT_EQ(db.Transponders().size(), 2u);

    // Schedules: the series first, its members in reply order; links to known services only.
    ASSERT_EQ(db.Schedules().size(), 2u);
    const CScheduleElement& series = *db.Schedules()[0];
    EXPECT_EQ(series.seriesId, 4);
    EXPECT_EQ(series.seriesName, "Serie");
    ASSERT_EQ(series.members.size(), 2u);
    EXPECT_EQ(series.members[0]->service, nullptr);
    EXPECT_EQ(series.members[1]->service, erste);
    const CScheduleElement* single = db.FindSchedule(4);
    ASSERT_EQ(single, db.Schedules()[1].get());
    EXPECT_EQ(single->type, 1);
    EXPECT_EQ(single->mode, 1);
    EXPECT_EQ(single->days, 0);
    EXPECT_EQ(single->start, Local(2014, 3, 6, 20, 0));
    EXPECT_EQ(single->satIdx, 3);
    EXPECT_EQ(single->serviceName, "Das Erste");
    EXPECT_EQ(single->eventId, 501);
    EXPECT_EQ(single->eventName, "Film");
    EXPECT_EQ(db.FindSchedule(5)->days, 127);

    // Status and the flags it sets.
    const CBoxStatusElement& st = db.Status();
    EXPECT_EQ(st.streamingStatus, 1);
    EXPECT_EQ(st.netProtocol, 0);
    EXPECT_EQ(st.clientAddress, "192.168.0.20");
    EXPECT_EQ(st.clientPort, 5004);
    EXPECT_EQ(st.url, "rtp://x");
    EXPECT_EQ(st.streamingService.idx, 14);
    EXPECT_EQ(st.streamingService.num, 4);
    EXPECT_EQ(st.streamingService.lcn, 40);
    EXPECT_EQ(st.streamingService.name, "Sport 1");
    EXPECT_TRUE(st.streamingService.teletext && st.streamingService.dolby && st.streamingService.hd);
    EXPECT_FALSE(st.streamingService.subtitle || st.streamingService.multifeed);
    EXPECT_EQ(st.streamingService.event.name, "Match");
    EXPECT_TRUE(db.Services()[2]->streaming);
    EXPECT_EQ(db.FindLiveService(), radio);
}

TEST_F(ReloadTest, PinAnswerSetsLocked)
{
    std::string box = kBox;
    box.replace(box.find("<pin error=\"0\"/>"), 16, "<pin error=\"3\"/>");
    ASSERT_TRUE(Reload(db, wrapper, Reply(box)));
    EXPECT_TRUE(db.IsLocked());
    EXPECT_EQ(db.Services().size(), 3u);
    EXPECT_SOUND(db);

    // Without the PIN answer the reload fails and leaves nothing, not even an earlier box.
    box.replace(box.find("<pin error=\"3\"/>"), 16, "<pin/>");
    EXPECT_FALSE(Reload(db, wrapper, Reply(box)));
    EXPECT_FALSE(db.IsLocked());
    EXPECT_TRUE(db.Services().empty() && db.Groups().empty() && db.Schedules().empty());
    EXPECT_TRUE(db.FavoriteGroups().empty() && db.Transponders().empty());
    EXPECT_SOUND(db);
}

TEST_F(ReloadTest, WithoutPinCheckSectionTheBlockedGroupsStillAreHeldBackByTheReload)
{
    // Read part by part: locked stays as set while groups and services are read.
    pugi::xml_document doc;
    Inject(wrapper, doc, Reply(kBox));
    db.SetLocked(Key(), false);
    const auto sections = CQuarnXML::Sections::Of(doc);
    ASSERT_TRUE(reader.ReadFavoriteGroups(sections, db));
    ASSERT_TRUE(reader.ReadServiceList(sections, db));
    EXPECT_NE(db.FindService(MakeServiceKey(0, 13)), nullptr); // unlocked: nothing withheld
    db.SortGroups(Key()); // as the reload finishes
}

TEST_F(ReloadTest, StatusNotRepeatedKeepsTheEarlierOne)
{
    ASSERT_TRUE(Reload(db, wrapper, Reply(kBox)));
    std::string box = kBox;
    box.erase(box.find("<streaming"), box.find("</streaming>") + 12 - box.find("<streaming"));
    ASSERT_TRUE(Reload(db, wrapper, Reply(box)));
    EXPECT_EQ(db.Status().streamingService.idx, 14);
    EXPECT_TRUE(db.FindService(MakeServiceKey(0, 14))->streaming);
    EXPECT_SOUND(db);
}

TEST_F(ReloadTest, SameTransponderIndexUnderTwoSatellites)
{
    const std::string box =
        R"(<pin error="0"/><sat idx="1"><tp idx="5" freq="1"><svc idx="1" type="0"/></tp></sat>
        <sat idx="2"><tp idx="5" freq="2"><svc idx="2" type="0"/></tp></sat>)";
    ASSERT_TRUE(Reload(db, wrapper, Reply(box)));
    ASSERT_EQ(db.Transponders().size(), 1u);
    EXPECT_EQ(db.FindTransponder(5)->freq, 2);
    EXPECT_EQ(db.Services()[0]->tpIdx, 5);
    EXPECT_EQ(db.Services()[1]->tpIdx, 5);
    EXPECT_EQ(db.Services()[0]->satIdx, 1);
    EXPECT_SOUND(db);
}

TEST_F(ReloadTest, NamesInASingleByteEncoding)
{
    // Not declared UTF-8: every byte arrives as one character and the marked texts are re-decoded.
    const std::string box = "<?xml version=\"1.0\"?><quarn:query quarn:version=\"1.3\"><pin error=\"0\"/>"
                            "<fav idx=\"0\" sat_idx=\"9\" encoding=\"iso-8859-5\">\xB0\xB1</fav>"
                            "<sat idx=\"1\"><tp idx=\"1\"><svc idx=\"1\" type=\"0\">"
                            "<service encoding=\"ISO-8859-5\">\xB2\xE0</service>"
                            "<evt id=\"1\"><name encoding=\"ISO-8859-9\">\xDE</name></evt></svc>"
                            "<svc idx=\"2\" type=\"0\"><service>\xE9t\xE9</service></svc></tp></sat>"
                            "</quarn:query>";
    ASSERT_TRUE(Reload(db, wrapper, box));
    EXPECT_EQ(db.FavoriteGroups()[0]->name, QString::fromUtf8("АБ"));
    EXPECT_EQ(db.FavoriteGroups()[0]->nameEncoding, "iso-8859-5");
    EXPECT_EQ(db.Services()[0]->name, QString::fromUtf8("Вр"));
    EXPECT_EQ(db.Services()[0]->nameEncoding, "ISO-8859-5");
    EXPECT_EQ(db.Services()[0]->presentEvent.name, QString::fromUtf8("Ş"));
    EXPECT_EQ(db.Services()[1]->name, QString::fromUtf8("été")); // unmarked: one byte a character
    EXPECT_SOUND(db);
}

struct BrokenCase
{
    const char* what;
    std::string body;
    bool loads;
};

class BrokenReplyTest : public ReloadTest, public ::testing::WithParamInterface<BrokenCase>
{
};

TEST_P(BrokenReplyTest, NeverCorruptsTheDatabase)
{
    // A good box first, so that a failure has something to throw away.
    ASSERT_TRUE(Reload(db, wrapper, Reply(kBox)));
    const BrokenCase& c = GetParam();
    EXPECT_EQ(Reload(db, wrapper, Reply(c.body)), c.loads);
    EXPECT_SOUND(db);
    if (!c.loads) {
        EXPECT_TRUE(db.Services().empty() && db.Groups().empty() && db.Schedules().empty());
        EXPECT_TRUE(db.FavoriteGroups().empty() && db.Transponders().empty());
    }
    EXPECT_FALSE(db.IsBusy());
    // And the database still takes a good box afterwards.
    ASSERT_TRUE(Reload(db, wrapper, Reply(kBox)));
    EXPECT_EQ(db.Services().size(), 3u);
    EXPECT_SOUND(db);
}

const std::string kPin = R"(<pin error="0"/>)";

INSTANTIATE_TEST_SUITE_P(
    Replies, BrokenReplyTest,
    ::testing::Values(
        BrokenCase{"not xml", "<pin error=\"0\"><sat", false}, BrokenCase{"only the pin", kPin, true},
        BrokenCase{"no pin", R"(<sat idx="1"><tp idx="1"><svc idx="1" type="0"/></tp></sat>)", false},
        BrokenCase{"bare elements",
                   kPin + "<fav/><sat><tp><svc><service/><evt/><recording/></svc></tp></sat>"
                          "<alarm/><streaming><svc/></streaming><live/>",
                   true},
        BrokenCase{"numbers that are not", kPin + R"(<fav idx="x" sat_idx="--1">a</fav>
            <sat idx="7abc" degree="1e9"><tp idx=" 12 " freq="99999999999999"><svc idx="x" type="zero" fav="-1">
            <service num="+-3"/></svc></tp></sat><alarm id="" mode="abc" stime=" 2014-3-5T9:7 "/>)",
                   true},
        BrokenCase{"duplicates and negatives",
                   kPin + R"(<fav idx="1" sat_idx="1">a</fav><fav idx="1" sat_idx="1">b</fav>
            <fav idx="-33" sat_idx="-4" blocked="1">c</fav>
            <sat idx="-3"><tp idx="-1"><svc idx="-5" type="0" fav="3"/><svc idx="-5" type="0" fav="-2147483648"/>
            <svc idx="4097" type="0"/><svc idx="1" type="1"/></tp></sat><sat idx="-3"/>
            <alarm id="2"><series id="1"/></alarm><alarm id="2"><series id="1"/></alarm><alarm id="2"/>
            <alarm id="3"><series id="-7"/><svc type="5" idx="-1"/></alarm>)",
                   true},
        BrokenCase{
            "unknown services and a lone series member",
            kPin + R"(<alarm id="1"><svc sat="1" type="0" idx="4000"/><series id="99">x</series></alarm>)",
            true},
        BrokenCase{"event month out of range", kPin + R"(<sat idx="1"><tp idx="1"><svc idx="1" type="0">
            <evt id="1" stime="2014-13-01T10:00"/></svc></tp></sat>)",
                   false},
        BrokenCase{"schedule without a time", kPin + R"(<alarm id="1" stime="" etime="2014-01-01T10:00"/>)",
                   false},
        BrokenCase{"schedule hour 24", kPin + R"(<alarm id="1" etime="2014-01-01T24:00"/>)", false},
        BrokenCase{"schedule year of twenty digits",
                   kPin + R"(<alarm id="1" stime="20140000000000000000-01-01T10:00"/>)", false},
        BrokenCase{"schedule year 10000", kPin + R"(<alarm id="1" stime="10000-01-01T10:00"/>)", false},
        BrokenCase{"status event year 1899",
                   kPin + R"(<live><svc idx="1" type="0"><evt stime="1899-12-31T10:00"/></svc></live>)",
                   false}),
    [](const ::testing::TestParamInfo<BrokenCase>& param) {
        std::string name;
        for (const char* p = param.param.what; *p; ++p)
            name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
        return name;
    });

TEST_F(ReloadTest, AbsentPartsKeepTheDefaults)
{
    ASSERT_TRUE(Reload(db, wrapper, Reply(kPin + R"(<sat idx="1"><tp idx="1"><svc idx="9"/></tp></sat>)")));
    ASSERT_EQ(db.Services().size(), 1u);
    const CServiceElement& s = *db.Services()[0];
    EXPECT_EQ(s.type, -1);
    EXPECT_EQ(s.key, MakeServiceKey(-1, 9));
    EXPECT_EQ(s.num, 0);
    EXPECT_EQ(s.lcn, 0);
    EXPECT_TRUE(s.name.isEmpty());
    EXPECT_EQ(s.sid, -1);
    EXPECT_EQ(s.presentEvent.id, -1);
    EXPECT_EQ(db.FindService(MakeServiceKey(-1, 9)), &s);
}

} // namespace
