#include "app/settings/CKelvoConnection.h"

#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoSettingsStore.h"
#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"

namespace {

// The stored start profile: 0 standard, 1 the quick start.
constexpr int kStandardStart = 0;
constexpr int kQuickStart = 1;

} // namespace

CKelvoConnection::CKelvoConnection(CKelvoSettingsStore& store, CKelvoAppState& state, CQuarnWrapper& wrapper,
                                   CQuarnDataModel& db, QObject* parent)
    : QObject(parent), m_store(store), m_state(state), m_wrapper(wrapper), m_db(db)
{}

void CKelvoConnection::Load(const std::optional<QString>& address, const std::optional<int>& port)
{
    CBoxConnection value;
    m_store.Load(m_state, value);
    if (address)
        value.address = *address;
    if (port)
        value.port = *port;
    m_value = value;
    PushDown();
    emit quickStartChanged(QuickStart());
}

bool CKelvoConnection::Save()
{
    const bool saved = m_store.Save(m_state, m_value);
    m_state.boxConfigured = IsConfigured();
    return saved;
}

void CKelvoConnection::Apply(const CBoxConnection& value, bool quickStart)
{
    m_value = value;
    PushDown();
    const bool changed = quickStart != QuickStart();
    m_state.startProfile = quickStart ? kQuickStart : kStandardStart;
    if (changed)
        emit quickStartChanged(quickStart);
}

bool CKelvoConnection::QuickStart() const
{
    return m_state.startProfile != kStandardStart;
}

bool CKelvoConnection::IsConfigured() const
{
    return CKelvoSettingsStore::IsBoxConfigured(m_value.address);
}

void CKelvoConnection::PushDown()
{
    m_wrapper.SetBoxAddress(m_value.address);
    m_wrapper.port = m_value.port;
    m_db.Settings() = m_value.settings;
    m_state.boxConfigured = IsConfigured();
}
