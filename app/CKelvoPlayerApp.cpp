#include "app/CKelvoPlayerApp.h"

#include "app/CBoxController.h"
#include "app/CKelvoMessageBox.h"
#include "app/CMainFrame.h"
#include "model/CQuarnDataModel.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QDir>
#include <QStandardPaths>

CKelvoPlayerApp::CKelvoPlayerApp(const QString& settingsFile)
    : m_store(settingsFile),
      m_wrapper(std::make_unique<CQuarnWrapper>()),
      m_xml(std::make_unique<CQuarnXML>(*m_wrapper)),
      m_db(std::make_unique<CQuarnDataModel>(*m_xml)),
      m_box(std::make_unique<CBoxController>(*m_db, *m_wrapper))
{
}

CKelvoPlayerApp::~CKelvoPlayerApp()
{
    // The frame refers to everything below it and goes first.
    m_frame.reset();
}

QString CKelvoPlayerApp::LockPath()
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    return dir + QStringLiteral("/kelvo-plus.lock");
}

bool CKelvoPlayerApp::InitInstance()
{
    m_lock = std::make_unique<QLockFile>(LockPath());
    // A running instance holds the lock for as long as it lives, however long that is; only a
    // lock whose process is gone is stale.
    m_lock->setStaleLockTime(0);
    if (!m_lock->tryLock(0)) {
        CKelvoMessageBox::Show(nullptr, CStringTable::Get(CStringTable::IDS_ERROR),
                               CStringTable::Get(CStringTable::IDS_ALREADY_RUNNING));
        return false;
    }

    CKelvoRes::Instance().Load();
    m_db->SetMissingNameText(CStringTable::Get(CStringTable::IDS_BROKEN_INFORMATION));

    m_frame = std::make_unique<CMainFrame>(*this);
    if (!m_frame->LoadFrame())
        return false;
    m_frame->setWindowTitle(CStringTable::Get(CStringTable::IDS_APP_TITLE));

    if (m_state.windowRight - m_state.windowLeft > 0)
        m_frame->setGeometry(m_state.windowLeft, m_state.windowTop, m_state.windowRight - m_state.windowLeft,
                             m_state.windowBottom - m_state.windowTop);
    else
        m_frame->resize(m_frame->minimumSize());

    if (m_state.fullScreen)
        m_frame->SetFullScreen(true);
    else if (m_state.maximized)
        m_frame->showMaximized();
    else
        m_frame->show();

    if (m_state.boxConfigured)
        m_frame->RefreshFromBox();
    return true;
}

int CKelvoPlayerApp::ExitInstance()
{
    m_frame.reset();
    if (m_lock)
        m_lock->unlock();
    return 0;
}

CBoxConnection CKelvoPlayerApp::Connection() const
{
    CBoxConnection c;
    c.address = m_wrapper->address;
    c.port = m_wrapper->port;
    c.settings = m_db->Settings();
    return c;
}

void CKelvoPlayerApp::SetConnection(const CBoxConnection& connection)
{
    m_wrapper->SetBoxAddress(connection.address);
    m_wrapper->port = connection.port;
    m_db->Settings() = connection.settings;
}

void CKelvoPlayerApp::OverrideBox(std::optional<QString> address, std::optional<int> port)
{
    m_boxAddress = std::move(address);
    m_boxPort = port;
}

void CKelvoPlayerApp::LoadSettings()
{
    CBoxConnection connection;
    m_store.Load(m_state, connection);
    if (m_boxAddress)
        connection.address = *m_boxAddress;
    if (m_boxPort)
        connection.port = *m_boxPort;
    SetConnection(connection);
    m_state.boxConfigured = CKelvoSettingsStore::IsBoxConfigured(connection.address);
}

bool CKelvoPlayerApp::SaveSettings()
{
    const CBoxConnection connection = Connection();
    const bool saved = m_store.Save(m_state, connection);
    m_state.boxConfigured = CKelvoSettingsStore::IsBoxConfigured(connection.address);
    return saved;
}
