#pragma once

#include <QString>
#include <pugixml.hpp>

class CQuarnDataModel;
class CQuarnWrapper;
struct CBoxStatusElement;
struct CEventElement;
struct CFavoriteGroupElement;
struct CGuideElement;
struct CSatelliteElement;
struct CServiceElement;
struct CServiceRefElement;
struct CTransponderElement;
class CScheduleElement;

// Sends the box's requests through the protocol client and reads their replies into the channel
// database. Every reply is untrusted: absent parts keep the records' defaults, and a part that
// cannot be read fails the operation instead of leaving half-linked records behind.
class CQuarnXML
{
public:
    explicit CQuarnXML(CQuarnWrapper& wrapper);
    virtual ~CQuarnXML();
    CQuarnXML(const CQuarnXML&) = delete;
    CQuarnXML& operator=(const CQuarnXML&) = delete;

    void SetMissingNameText(const QString& text) { m_missingNameText = text; }
    const QString& MissingNameText() const { return m_missingNameText; }

    // Operations with the box.
    bool LoadAll(CQuarnDataModel& db);
    bool LoadEPG(int svcType, int svcIdx, CGuideElement& guide);
    int SetSchedule(const CScheduleElement& schedule, CQuarnDataModel& db);
    bool StartStreaming(int satIdx, int svcType, int svcIdx, int netProtocol, const QString& clientIp,
                        int clientPort, const QString& pinCode, int& result);
    bool StopStreaming(int& result);
    bool SendRemoteKey(int key, int repeat, int& code);

    // Readers of loaded replies. The full reload reads five sections in this order; a box that
    // takes the combined request gives the same document for all five.
    bool ReadReload(const pugi::xml_document& favorites, const pugi::xml_document& serviceList,
                    const pugi::xml_document& scheduleList, const pugi::xml_document& pinCheck,
                    const pugi::xml_document& status, CQuarnDataModel& db) const;
    bool ReadFavoriteGroups(const pugi::xml_document& doc, CQuarnDataModel& db) const;
    bool ReadServiceList(const pugi::xml_document& doc, CQuarnDataModel& db) const;
    static bool ReadScheduleList(const pugi::xml_document& doc, CQuarnDataModel& db);
    static bool ReadPinCheck(const pugi::xml_document& doc, CQuarnDataModel& db);
    bool ReadStatus(const pugi::xml_document& doc, CBoxStatusElement& status) const;
    bool ReadGuide(const pugi::xml_document& doc, CGuideElement& guide) const;
    // Applies a set_alarm reply to the database; the result code of the schedule command.
    static int ApplyScheduleReply(const pugi::xml_document& doc, CQuarnDataModel& db);

    bool ReadEvent(const pugi::xml_node& evt, CEventElement& event) const;
    bool ReadService(const pugi::xml_node& svc, CServiceElement& service) const;
    bool ReadServiceRef(const pugi::xml_node& svc, CServiceRefElement& ref) const;
    static bool ReadSchedule(const pugi::xml_node& alarm, CScheduleElement& schedule);
    static void ReadFavoriteGroup(const pugi::xml_node& fav, CFavoriteGroupElement& group);
    static void ReadSatellite(const pugi::xml_node& sat, CSatelliteElement& satellite);
    static void ReadTransponder(const pugi::xml_node& tp, CTransponderElement& transponder);

private:
    CQuarnWrapper& m_wrapper;
    QString m_missingNameText;
};
