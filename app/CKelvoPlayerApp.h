#pragma once

#include "app/CKelvoAppOptions.h"
#include "app/IKelvoApplication.h"
#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoSettingsStore.h"

#include <QLockFile>
#include <QString>
#include <memory>

class CKelvoConnection;
class CMainFrame;
class CQuarnXML;
class CQuarnWrapper;

// The composition root: one per process. It refuses a second instance and builds the whole object
// graph in order (protocol client, reply reader, database, box controller, connection, media
// player, playback controller, remote bridge, then the frame), handing each its references, and
// holds the state they share. Nothing here is global, and nothing below includes this file.
class CKelvoPlayerApp final : public IKelvoApplication
{
public:
    explicit CKelvoPlayerApp(CKelvoAppOptions options = {});
    // The settings in a file of the caller's (tests): the user's own store when empty.
    explicit CKelvoPlayerApp(const QString& settingsFile);
    ~CKelvoPlayerApp() override;
    Q_DISABLE_COPY_MOVE(CKelvoPlayerApp)

    // Start-up up to the shown frame and the first reload; false ends the process.
    bool InitInstance();
    int ExitInstance();

    CKelvoAppState& State() override { return m_state; }
    CQuarnDataModel& Database() override { return *m_db; }
    CBoxController& Box() override { return *m_box; }
    CKelvoConnection& Connection() override { return *m_connection; }
    CMediaPlayer& MediaPlayer() override { return *m_player; }
    CPlaybackController& Playback() override { return *m_playback; }
    CRemoteBridge& RemoteBridge() override { return *m_remoteBridge; }
    DiscoveryScope Discovery() const override { return m_options.discovery; }
    bool SaveSettings() override;

    CQuarnWrapper& Wrapper() { return *m_wrapper; }
    CMainFrame* Frame() { return m_frame.get(); }

    // Where the single-instance lock lives: the user's runtime folder.
    static QString LockPath();

private:
    CKelvoAppOptions m_options;
    CKelvoSettingsStore m_store;
    CKelvoAppState m_state;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<CQuarnWrapper> m_wrapper;
    std::unique_ptr<CQuarnXML> m_xml;
    std::unique_ptr<CQuarnDataModel> m_db;
    std::unique_ptr<CBoxController> m_box;
    std::unique_ptr<CKelvoConnection> m_connection;
    std::unique_ptr<CMediaPlayer> m_player;
    std::unique_ptr<CPlaybackController> m_playback;
    std::unique_ptr<CRemoteBridge> m_remoteBridge;
    std::unique_ptr<CMainFrame> m_frame;
};
