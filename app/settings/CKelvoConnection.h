#pragma once

#include "model/CBoxConnection.h"

#include <QObject>
#include <QString>
#include <optional>

class CKelvoSettingsStore;
class CQuarnDataModel;
class CQuarnWrapper;
struct CKelvoAppState;

// The box connection as the user sees it: one value (address, port, user, password, PIN, protocol,
// stream to another device) and whether streams start quickly, with one owner. The protocol client
// and the database hold working copies that only Apply changes, so nothing else takes the
// connection apart or puts it together.
class CKelvoConnection final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoConnection)

public:
    CKelvoConnection(CKelvoSettingsStore& store, CKelvoAppState& state, CQuarnWrapper& wrapper,
                     CQuarnDataModel& db, QObject* parent = nullptr);

    // Reads the store; a box named on the command line replaces the stored address or port.
    void Load(const std::optional<QString>& address = std::nullopt,
              const std::optional<int>& port = std::nullopt);
    // Writes the connection with the rest of the application state; false when the store could not
    // be written (the values in use stay either way).
    bool Save();
    // Puts a new connection in use: the protocol client and the database read it from here.
    void Apply(const CBoxConnection& value, bool quickStart);

    const CBoxConnection& Value() const { return m_value; }
    bool QuickStart() const;
    bool IsConfigured() const;

signals:
    // Apply or Load changed how streams start.
    void quickStartChanged(bool on);

private:
    void PushDown();

    CKelvoSettingsStore& m_store;
    CKelvoAppState& m_state;
    CQuarnWrapper& m_wrapper;
    CQuarnDataModel& m_db;
    CBoxConnection m_value;
};
