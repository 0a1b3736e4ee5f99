#include "app/CBoxController.h"

#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"
#include "res/CStringTable.h"

#include <QDateTime>

namespace {

// Emits updateBegins now and updateEnds when the scope ends, whatever path leaves it.
class UpdateScope final
{
public:
    explicit UpdateScope(CBoxController& c) : m_c(c) { emit m_c.updateBegins(); }
    ~UpdateScope() { emit m_c.updateEnds(); }
    Q_DISABLE_COPY_MOVE(UpdateScope)

private:
    CBoxController& m_c;
};

} // namespace

CBoxController::CBoxController(CQuarnDataModel& db, CQuarnWrapper& wrapper, QObject* parent)
    : QObject(parent), m_db(db), m_wrapper(wrapper)
{
    m_db.SetBusyObserver(this);
}

CBoxController::~CBoxController()
{
    m_db.SetBusyObserver(nullptr);
}

qint64 CBoxController::BoxTime() const
{
    return QDateTime::currentSecsSinceEpoch() + m_wrapper.clockOffset;
}

void CBoxController::BeginBusy()
{
    if (m_busyDepth++ == 0)
        emit busyChanged(true);
}

void CBoxController::EndBusy()
{
    if (m_busyDepth > 0 && --m_busyDepth == 0)
        emit busyChanged(false);
}

void CBoxController::Fail(int captionId, int textId)
{
    emit failure(CStringTable::Get(captionId), CStringTable::Get(textId));
}

void CBoxController::FailResult(int captionId, int code, int first, int last)
{
    emit failure(CStringTable::Get(captionId), CStringTable::ResultText(captionId, code, first, last));
}

bool CBoxController::Reload(int guideService)
{
    bool ok = false;
    {
        UpdateScope scope(*this);
        ok = m_db.UpdateService();
        // The reload emptied the guide record; the guide view reads only what it holds, so the
        // shown service's guide is asked for again before anyone is told.
        if (const CServiceElement* service = guideService >= 0 ? m_db.FindService(guideService) : nullptr) {
            const int type = service->type;
            const int idx = service->idx;
            m_db.UpdateEPG(type, idx);
        }
        emit reloaded(ok);
    }
    if (!ok)
        Fail(CStringTable::IDS_UPDATE_FAILURE, CStringTable::IDS_UPDATE_FAILED);
    return ok;
}

bool CBoxController::LoadGuide(int serviceKey)
{
    const CServiceElement* service = m_db.FindService(serviceKey);
    if (!service)
        return false;
    const int type = service->type;
    const int idx = service->idx;
    UpdateScope scope(*this);
    const bool ok = m_db.UpdateEPG(type, idx);
    return ok;
}

int CBoxController::SetSchedule(const CScheduleElement& schedule)
{
    // The record may live in a view that the nested wait repaints or rebuilds: send a copy.
    const CScheduleElement copy = schedule;
    int rc = 0;
    {
        UpdateScope scope(*this);
        rc = m_db.SetSchedule(copy);
        emit schedulesChanged();
    }
    if (rc != 0)
        FailResult(CStringTable::IDS_SET_SCHEDULE_FAILURE, rc, 206, 210);
    return rc;
}

int CBoxController::StartStreaming(int serviceKey, QString* mediaAddress)
{
    // Streaming changes no record the views show, so the views keep drawing meanwhile.
    const int rc = m_db.StartStreaming(m_db.FindService(serviceKey));
    if (rc == 0 && mediaAddress)
        *mediaAddress = m_db.GetMediaAddress();
    return rc;
}

void CBoxController::ReportStartFailure(int code)
{
    if (code != 0)
        FailResult(CStringTable::IDS_START_STREAMING_FAILURE, code, 198, 202);
}

int CBoxController::StopStreaming(bool report)
{
    const int rc = m_db.StopStreaming();
    if (rc != 0 && report)
        Fail(CStringTable::IDS_STOP_STREAMING_FAILURE, CStringTable::IDS_STOP_STREAMING_FAILED);
    return rc;
}

bool CBoxController::SendRemoteKey(int key, bool repeat)
{
    return m_db.SendRemoteKey(key, repeat ? 1 : 0);
}

void CBoxController::QuickStopStreaming()
{
    m_wrapper.QuickStopStreaming();
}

void CBoxController::ForgetBox()
{
    m_wrapper.version.clear();
}
