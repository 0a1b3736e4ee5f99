#pragma once

#include "app/settings/CKelvoAppState.h"
#include "app/settings/CKelvoSettingsStore.h"
#include "model/CBoxConnection.h"

#include <QLockFile>
#include <QString>
#include <memory>
#include <optional>

class CBoxController;
class CMainFrame;
class CQuarnDataModel;
class CQuarnWrapper;
class CQuarnXML;

// The composition root: one per process. It refuses a second instance, builds the protocol
// client, the reply reader, the database, the box controller and the main frame in that order,
// and holds the state they share. Nothing here is global.
class CKelvoPlayerApp final
{
public:
    // `settingsFile` empty: the user's own store ("Dravik"/"Kelvo+").
    explicit CKelvoPlayerApp(const QString& settingsFile = {});
    ~CKelvoPlayerApp();
    Q_DISABLE_COPY_MOVE(CKelvoPlayerApp)

    // Start-up up to the shown frame and the first reload; false ends the process.
    bool InitInstance();
    int ExitInstance();

    // The box named on the command line replaces the stored one once the settings are loaded.
    void OverrideBox(std::optional<QString> address, std::optional<int> port);

    // Moves the state and the box connection between memory and the settings store.
    void LoadSettings();
    // False when the store could not be written; the state in memory is kept either way.
    bool SaveSettings();

    CKelvoAppState& State() { return m_state; }
    CQuarnWrapper& Wrapper() { return *m_wrapper; }
    CQuarnDataModel& Database() { return *m_db; }
    CBoxController& Box() { return *m_box; }
    CMainFrame* Frame() { return m_frame.get(); }

    // The connection as it is now (the protocol client's address and port, the box settings).
    CBoxConnection Connection() const;
    void SetConnection(const CBoxConnection& connection);

    // Where the single-instance lock lives: the user's runtime folder.
    static QString LockPath();

private:
    CKelvoSettingsStore m_store;
    CKelvoAppState m_state;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<CQuarnWrapper> m_wrapper;
    std::unique_ptr<CQuarnXML> m_xml;
    std::unique_ptr<CQuarnDataModel> m_db;
    std::unique_ptr<CBoxController> m_box;
    std::unique_ptr<CMainFrame> m_frame;
    std::optional<QString> m_boxAddress;
    std::optional<int> m_boxPort;
};
