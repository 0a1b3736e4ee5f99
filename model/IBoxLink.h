#pragma once

#include "model/CQuarnDataModel.h"

#include <QString>

namespace pugi {
class xml_document;
}

struct CGuideElement;
class CScheduleElement;

// What the channel database needs from the box: the requests it sends, the readers of their
// replies and the addresses a stream is set up with. The reply reader of the box's protocol
// implements it; tests put a scripted link in its place. The database only knows this interface,
// so it can be built and tested without a protocol client.
class IBoxLink
{
public:
    virtual ~IBoxLink() = default;

    // A full reload: asks the box and fills `db`, which the caller has emptied.
    virtual bool LoadAll(CQuarnDataModel& db) = 0;
    // The same from replies already loaded; a box that takes the combined request gives one
    // document for all five.
    virtual bool ReadReload(const pugi::xml_document& favorites, const pugi::xml_document& serviceList,
                            const pugi::xml_document& scheduleList, const pugi::xml_document& pinCheck,
                            const pugi::xml_document& status, CQuarnDataModel& db) const = 0;

    // The guide of one service; `guide` is replaced only when all of the reply was read.
    virtual bool LoadEPG(int svcType, int svcIdx, CGuideElement& guide) = 0;
    virtual bool ApplyGuide(const pugi::xml_document& doc, CGuideElement& guide) const = 0;

    // Sends the schedule and applies the box's answer to `db`; the result code of the command.
    virtual int SetSchedule(const CScheduleElement& schedule, CQuarnDataModel& db) = 0;

    // False when no usable reply came; otherwise `result` holds the box's code.
    virtual bool StartStreaming(int satIdx, int svcType, int svcIdx, int netProtocol, const QString& clientIp,
                                int clientPort, const QString& pinCode, int& result) = 0;
    virtual bool StopStreaming(int& result) = 0;
    virtual bool SendRemoteKey(int key, int repeat, int& code) = 0;

    // This computer's address on the box's network (may ask the system) and the box's address.
    virtual QString GetLocalAddress() = 0;
    virtual QString BoxAddress() const = 0;

    // Put in place of an event title the box reports as missing.
    virtual void SetMissingNameText(const QString& text) = 0;

protected:
    IBoxLink() = default;
    IBoxLink(const IBoxLink&) = default;
    IBoxLink& operator=(const IBoxLink&) = default;

    // Only a link fills the database: views hold it read-only and cannot make this key.
    static CQuarnDataModel::FillKey FillAccess() { return CQuarnDataModel::FillKey(); }
};
