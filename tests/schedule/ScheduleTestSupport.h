#pragma once

// A channel database filled from a schedule list reply, for the schedule views' tests.
#include "protocol/CQuarnXML.h"
#include "tests/db/DbTestSupport.h"

#include <string>

namespace scheduletest {

// Three TV services (one locked, one scrambled), a single timer, a series with an active and a
// skipped episode, a series whose episodes are all skipped, a timer of a service the box no
// longer lists (22:30 to 00:15) and a 25-hour timer.
inline const char* const kBox = R"(
<pin error="0"/>
<svc_list>
  <sat idx="3" degree="192" name="Astra">
    <tp idx="7" streaming_possibility="1">
      <svc idx="12" type="0" blocked="1"><service num="1" lcn="10">Das Erste</service></svc>
      <svc idx="13" type="0" scrambled="1"><service num="2" lcn="11">Premium</service></svc>
      <svc idx="14" type="0"><service num="3" lcn="12">Sport 1</service></svc>
    </tp>
  </sat>
</svc_list>
<alarm_list>
  <alarm id="4" type="1" mode="1" days="0" stime="2014-03-06T20:00" etime="2014-03-06T21:00">
    <svc sat="3" type="0" idx="12">Das Erste</svc><evt id="501">Film</evt></alarm>
  <alarm id="5" type="1" mode="1" days="0" stime="2014-03-07T20:00" etime="2014-03-07T20:45">
    <svc sat="3" type="0" idx="14">Sport 1</svc><evt id="601">Match 1</evt><series id="7">League</series></alarm>
  <alarm id="6" type="1" mode="4" days="0" stime="2014-03-14T20:00" etime="2014-03-14T20:45">
    <svc sat="3" type="0" idx="14">Sport 1</svc><evt id="602">Match 2</evt><series id="7">League</series></alarm>
  <alarm id="8" type="1" mode="4" days="0" stime="2014-03-08T10:00" etime="2014-03-08T10:30">
    <svc sat="3" type="0" idx="13">Premium</svc><series id="9">Cartoons</series></alarm>
  <alarm id="10" type="0" mode="2" days="0" stime="2014-03-09T22:30" etime="2014-03-10T00:15">
    <svc sat="5" type="0" idx="99">Gone</svc><evt id="700">Late Show</evt></alarm>
  <alarm id="11" type="1" mode="3" days="42" stime="2014-03-11T08:00" etime="2014-03-12T09:00">
    <svc sat="3" type="0" idx="13">Premium</svc><evt id="800">Marathon</evt></alarm>
</alarm_list>
)";

// The same box with the schedules that follow the single timer removed.
inline const char* const kFewer = R"(
<pin error="0"/>
<svc_list>
  <sat idx="3" degree="192" name="Astra">
    <tp idx="7" streaming_possibility="1">
      <svc idx="12" type="0"><service num="1" lcn="10">Das Erste</service></svc>
    </tp>
  </sat>
</svc_list>
<alarm_list>
  <alarm id="4" type="1" mode="1" days="0" stime="2014-03-06T20:00" etime="2014-03-06T21:00">
    <svc sat="3" type="0" idx="12">Das Erste</svc><evt id="501">Film</evt></alarm>
</alarm_list>
)";

class Box
{
public:
    bool Load(const std::string& body) { return dbtest::Reload(db, wrapper, dbtest::Reply(body)); }

    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
};

} // namespace scheduletest
