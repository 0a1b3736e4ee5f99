#pragma once

#include "model/IBoxLink.h"

#include <QString>
#include <pugixml.hpp>
#include <vector>

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
// cannot be read fails the operation instead of leaving half-linked records behind. It is the
// database's link to the box; the protocol client it sends through must outlive it.
class CQuarnXML : public IBoxLink
{
public:
    explicit CQuarnXML(CQuarnWrapper& wrapper);
    ~CQuarnXML() override;
    CQuarnXML(const CQuarnXML&) = delete;
    CQuarnXML& operator=(const CQuarnXML&) = delete;

    void SetMissingNameText(const QString& text) override { m_missingNameText = text; }
    const QString& MissingNameText() const { return m_missingNameText; }

    // Operations with the box.
    bool LoadAll(CQuarnDataModel& db) override;
    bool LoadEPG(int svcType, int svcIdx, CGuideElement& guide) override;
    int SetSchedule(const CScheduleElement& schedule, CQuarnDataModel& db) override;
    bool StartStreaming(int satIdx, int svcType, int svcIdx, int netProtocol, const QString& clientIp,
                        int clientPort, const QString& pinCode, int& result) override;
    bool StopStreaming(int& result) override;
    bool SendRemoteKey(int key, int repeat, int& code) override;
    QString GetLocalAddress() override;
    QString BoxAddress() const override;

    // The section elements a full reload reads ("//fav", "//sat", "//alarm", "//pin", "//streaming",
    // "//live"), in document order, found in one walk of the tree instead of one walk each.
    struct Sections
    {
        std::vector<pugi::xml_node> fav, sat, alarm, pin;
        pugi::xml_node streaming, live;
        size_t services = 0; // "svc" elements anywhere: room to reserve before the list is read
        static Sections Of(const pugi::xml_document& doc);
    };

    // Readers of loaded replies. The full reload reads five sections in this order; a box that
    // takes the combined request gives the same document for all five.
    bool ReadReload(const pugi::xml_document& favorites, const pugi::xml_document& serviceList,
                    const pugi::xml_document& scheduleList, const pugi::xml_document& pinCheck,
                    const pugi::xml_document& status, CQuarnDataModel& db) const override;
    bool ReadFavoriteGroups(const Sections& reply, CQuarnDataModel& db) const;
    bool ReadServiceList(const Sections& reply, CQuarnDataModel& db) const;
    static bool ReadScheduleList(const Sections& reply, CQuarnDataModel& db);
    static bool ReadPinCheck(const Sections& reply, CQuarnDataModel& db);
    bool ReadStatus(const Sections& reply, CBoxStatusElement& status) const;
    bool ReadGuide(const pugi::xml_document& doc, CGuideElement& guide) const;
    // Reads a guide reply aside and puts it in place of `guide` only when all of it was read.
    bool ApplyGuide(const pugi::xml_document& doc, CGuideElement& guide) const override;
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
