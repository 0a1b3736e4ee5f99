#pragma once

#include "model/CBoxSettings.h"
#include "model/CBoxStatusElement.h"
#include "model/CEventElement.h"
#include "model/CFavoriteGroupElement.h"
#include "model/CGuideElement.h"
#include "model/CSatelliteElement.h"
#include "model/CScheduleElement.h"
#include "model/CServiceElement.h"
#include "model/CTransponderElement.h"
#include "model/Lists.h"

#include <QString>
#include <QtGlobal>
#include <functional>
#include <map>
#include <memory>
#include <unordered_map>

namespace pugi {
class xml_document;
}

class IBoxLink;
class IBusyObserver;

// The one in-memory copy of the box: satellites, transponders, services, favourite groups,
// schedules, the guide of one service and the box's status, together with the box settings.
// Views read its lists and lookups; the box operations below change it, one at a time. It reaches
// the box only through an IBoxLink, which the application owns and outlives it.
class CQuarnDataModel final
{
public:
    using TransponderMap = std::map<quint16, std::unique_ptr<CTransponderElement>>;

    // Opens the filling methods below. Only a box link (the reply reader, a test's scripted link)
    // and the database itself can make one, so code that holds the database cannot fill it.
    class FillKey final
    {
        FillKey() = default;
        friend class IBoxLink;
        friend class CQuarnDataModel;
    };

    explicit CQuarnDataModel(IBoxLink& link);
    ~CQuarnDataModel();
    Q_DISABLE_COPY_MOVE(CQuarnDataModel)

    // Told when a box operation starts and ends (main window disabled, wait cursor). Not owned.
    void SetBusyObserver(IBusyObserver* observer) { m_busyObserver = observer; }

    // Box operations. Each refuses at once while another runs (false or -4) and otherwise holds
    // the busy state for its whole duration, whatever the outcome.
    bool UpdateService();
    bool UpdateEPG(int svcType, int svcIdx);
    int SetSchedule(const CScheduleElement& schedule);
    int StartStreaming(const CServiceElement* service);
    int StopStreaming();

    // Forwards a remote-control key. Deliberately outside the busy state: keys must reach the box
    // while another operation waits for its reply.
    bool SendRemoteKey(int key, int repeat, int* code = nullptr);

    QString GetMediaAddress();
    CStreamingTarget StreamingTarget();

    // A full reload from an already loaded reply of the combined request, without asking the box;
    // it is what UpdateService does once the reply is in.
    bool ReloadFromDocument(const pugi::xml_document& doc);
    // Likewise for a guide reply: what UpdateEPG does once the reply is in.
    bool GuideFromDocument(const pugi::xml_document& doc);

    // Lookups; the first match in list order wins.
    CSatelliteElement* FindGroup(int idx) const;
    CServiceElement* FindService(int key) const;
    CServiceElement* FindLiveService() const;
    CScheduleElement* FindSchedule(int id) const;
    CScheduleElement* FindScheduleForEvent(int svcType, int svcIdx, const CEventElement& event) const;
    CTransponderElement* FindTransponder(int idx) const;
    std::unique_ptr<CScheduleElement> MakeSchedule(int svcType, int svcIdx, int scheduleType,
                                                   int scheduleMode, const CEventElement* event) const;

    void SetMissingNameText(const QString& text);
    void Clear();

    // Filling, used by the reply readers.
    int AddService(FillKey, std::unique_ptr<CServiceElement> service);
    // Room for `count` more services, so that a large list is not regrown while it is read.
    void ReserveServices(FillKey, size_t count);
    void AddFavoriteGroup(FillKey, std::unique_ptr<CFavoriteGroupElement> group);
    void AddGroupEntry(FillKey, std::unique_ptr<CSatelliteElement> entry);
    void StoreTransponder(FillKey, std::unique_ptr<CTransponderElement> transponder);
    void AddSchedule(FillKey, std::unique_ptr<CScheduleElement> schedule);
    void StoreSchedule(FillKey, const CScheduleElement& schedule);
    void RemoveSchedule(FillKey, int id);
    void MarkStatusServices(FillKey);
    void SortGroups(FillKey);
    void LinkEventsToSchedules(FillKey);
    // Written by the readers while they fill the database.
    void SetLocked(FillKey, bool locked) { m_locked = locked; }
    CBoxStatusElement& MutableStatus(FillKey) { return m_status; }
    CGuideElement& MutableGuide(FillKey) { return m_guide; }

    // Empty when every rule that ties the lists together holds; otherwise a description of the
    // first broken one. For tests and fuzzing.
    QString CheckInvariants() const;

    // Read access for the views.
    const OwnedList<CSatelliteElement>& Groups() const { return m_groups; }
    const OwnedList<CServiceElement>& Services() const { return m_services; }
    const OwnedList<CFavoriteGroupElement>& FavoriteGroups() const { return m_favoriteGroups; }
    const TransponderMap& Transponders() const { return m_transponders; }
    const OwnedList<CScheduleElement>& Schedules() const { return m_schedules; }
    const CGuideElement& Guide() const { return m_guide; }
    const CBoxStatusElement& Status() const { return m_status; }
    bool IsLocked() const { return m_locked; }
    bool IsBusy() const { return m_busy; }

    CBoxSettings& Settings() { return m_settings; }
    const CBoxSettings& Settings() const { return m_settings; }

private:
    class BusyFrame;

    // The frame of every full reload: busy state, empty start, locked until the PIN check says
    // otherwise, and an empty database again when `load` fails.
    bool Reload(const std::function<bool()>& load);
    bool FinishReload(bool loaded);
    // Takes the schedule out of the list or out of its series entry (dropping an entry left
    // empty), unlinks every guide event that points at it, and deletes it.
    void DiscardSchedule(const CScheduleElement* schedule);
    void UnlinkGuideEvents(const CScheduleElement* schedule);

    IBoxLink& m_link;
    IBusyObserver* m_busyObserver = nullptr;
    CBoxSettings m_settings;
    bool m_locked = true;
    bool m_busy = false;
    TransponderMap m_transponders;
    OwnedList<CFavoriteGroupElement> m_favoriteGroups;
    OwnedList<CSatelliteElement> m_groups;
    OwnedList<CServiceElement> m_services;
    // First service of each key: a channel list looks every row up by key, and a linear search
    // per row would grow with the square of the service count.
    std::unordered_map<int, CServiceElement*> m_serviceByKey;
    CBoxStatusElement m_status;
    CGuideElement m_guide;
    OwnedList<CScheduleElement> m_schedules;
};
