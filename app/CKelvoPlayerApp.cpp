#include "app/CKelvoPlayerApp.h"

#include "app/CBoxController.h"
#include "app/CKelvoMessageBox.h"
#include "app/CMainFrame.h"
#include "app/CPlaybackController.h"
#include "app/CRemoteBridge.h"
#include "app/KelvoFrameCommands.h"
#include "app/settings/CKelvoConnection.h"
#include "model/CQuarnDataModel.h"
#include "player/CMediaPlayer.h"
#include "protocol/CQuarnWrapper.h"
#include "protocol/CQuarnXML.h"
#include "rcu/CKelvoRCUWindow.h"
#include "res/CStringTable.h"
#include "ui/CKelvoRes.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

CKelvoPlayerApp::CKelvoPlayerApp(CKelvoAppOptions options)
    : m_options(std::move(options)), m_store(m_options.settingsFile),
      m_wrapper(std::make_unique<CQuarnWrapper>()), m_xml(std::make_unique<CQuarnXML>(*m_wrapper)),
      m_db(std::make_unique<CQuarnDataModel>(*m_xml)),
      m_box(std::make_unique<CBoxController>(*m_db, *m_wrapper)),
      m_connection(std::make_unique<CKelvoConnection>(m_store, m_state, *m_wrapper, *m_db))
{}

CKelvoPlayerApp::CKelvoPlayerApp(const QString& settingsFile)
    : CKelvoPlayerApp(CKelvoAppOptions{settingsFile})
{}

CKelvoPlayerApp::~CKelvoPlayerApp()
{
    // The frame refers to everything below it and goes first; the player view lets go of the
    // engine as it goes, and the engine before the objects that listen to it.
    m_frame.reset();
    m_remoteBridge.reset();
    m_playback.reset();
    m_player.reset();
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

    // The engine's picture needs a native window, and with it its ancestors get one; their
    // siblings (every bar, view and caption strip) need none, and as native windows of their own
    // they would show stale pixels where Qt paints nothing beneath a transparent child.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    CKelvoRes::Instance().Load();
    m_db->SetMissingNameText(CStringTable::Get(CStringTable::IDS_BROKEN_INFORMATION));

    // The engine needs the application object of Qt (its video window), so it is built here and
    // not with the core above.
    m_player = std::make_unique<CMediaPlayer>();
    QObject::connect(
        m_connection.get(), &CKelvoConnection::quickStartChanged, m_player.get(), [this](bool on) {
            m_player->SetStartProfile(on ? CMediaPlayer::StartLowLatency : CMediaPlayer::StartStandard);
        });
    m_connection->Load(m_options.boxAddress, m_options.boxPort);
    m_playback = std::make_unique<CPlaybackController>(*m_box, *m_player, m_state);
    m_remoteBridge = std::make_unique<CRemoteBridge>(*m_box);

    m_frame = std::make_unique<CMainFrame>(*this);
    if (!m_frame->LoadFrame())
        return false;
    KelvoFrameCommands::Add(m_frame->Commands(), *m_frame, *this);
    if (auto* rcu = qobject_cast<CKelvoRCUWindow*>(m_frame->RemoteWindow())) {
        QObject::connect(rcu, &CKelvoRCUWindow::bnClicked, m_remoteBridge.get(), &CRemoteBridge::OnKey);
        QObject::connect(rcu, &CKelvoRCUWindow::attached, m_remoteBridge.get(), &CRemoteBridge::OnAttached);
    }
    m_frame->setWindowTitle(CStringTable::Get(CStringTable::IDS_APP_TITLE));
    if (m_options.frameBuilt)
        m_options.frameBuilt(*this, *m_frame);

    if (m_state.windowRight - m_state.windowLeft > 0)
        m_frame->setGeometry(m_state.WindowRect());
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

bool CKelvoPlayerApp::SaveSettings()
{
    return m_connection->Save();
}
