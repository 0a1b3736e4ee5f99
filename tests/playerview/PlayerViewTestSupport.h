#pragma once

#include "commands/CMainFrameMessages.h"
#include "player/CMediaPlayer.h"
#include "tests/db/DbTestSupport.h"
#include "ui/CKelvoRes.h"

#include <QSignalSpy>

// A small box for the player's view and bars: a TV service with a present event on a known
// satellite and transponder, one without an event, one whose satellite has no group-list entry,
// and a radio service.
namespace pvtest {

inline const char* const kBox = R"(
<pin error="0"/>
<svc_list>
  <sat idx="3" degree="192" name="Astra">
    <tp idx="7" freq="11494" polar="1" sr="22000" netname="ARD" streaming_possibility="1">
      <svc idx="12" type="0" vpid="101" apid="102" ppid="104" scrambled="1" blocked="1">
        <service num="1" lcn="10">Das Erste</service>
        <evt id="500" stime="2014-03-05T21:00" etime="2014-03-05T21:45"><name>Tagesthemen</name></evt>
      </svc>
      <svc idx="13" type="0" vpid="201" apid="202" ppid="204"><service num="2" lcn="7">No Guide</service></svc>
      <svc idx="1" type="1"><service num="3">Radio One</service></svc>
    </tp>
  </sat>
  <sat idx="5" degree="130" name="Hotbird">
    <tp idx="8" freq="12000" polar="0" sr="27500" netname="RAI" streaming_possibility="1">
      <svc idx="14" type="0" vpid="301" apid="302" ppid="304"><service num="4">Rai</service></svc>
    </tp>
  </sat>
</svc_list>
)";

inline constexpr int kErste = MakeServiceKey(0, 12);
inline constexpr int kNoGuide = MakeServiceKey(0, 13);
inline constexpr int kRadio = MakeServiceKey(1, 1);
inline constexpr int kRai = MakeServiceKey(0, 14);

// The database filled from kBox, and the frame's message hub.
struct Box
{
    Box()
    {
        CKelvoRes::Instance().Load();
        EXPECT_TRUE(dbtest::Reload(db, wrapper, dbtest::Reply(kBox)));
    }

    CQuarnWrapper wrapper;
    CQuarnXML reader{wrapper};
    CQuarnDataModel db{reader};
    CMainFrameMessages messages;
    // Before any view: the view lets go of the player when it goes.
    CMediaPlayer player;
};

} // namespace pvtest
