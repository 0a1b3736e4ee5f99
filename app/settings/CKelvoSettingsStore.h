#pragma once

#include <QString>

struct CBoxConnection;
struct CKelvoAppState;

// The per-user settings store: sections "Player" (window, display and audio state, and how the
// player starts a stream) and "STB" (box connection), one INI file. The file holds the box
// password, so it is replaced atomically and is only ever readable by its owner (0600), also while
// it is being written.
class CKelvoSettingsStore final
{
public:
    // `filePath` empty: the user's own store of organisation "Dravik", application "Kelvo+", in
    // the user's configuration folder (XDG_CONFIG_HOME where set).
    explicit CKelvoSettingsStore(const QString& filePath = {});

    const QString& FilePath() const { return m_filePath; }

    // Fills the stored fields of `state` and all of `connection`; a value that is missing or not
    // a number takes its default. The stored user-interface mode is ignored: uiMode becomes 0.
    // Sets state.boxConfigured from the loaded address.
    void Load(CKelvoAppState& state, CBoxConnection& connection) const;

    // Writes every key of both sections (uiMode as "UIFrame"), keeping keys of other sections
    // the file may hold. Sets state.boxConfigured from the saved address. False when the file
    // could not be written; it is then left as it was.
    bool Save(CKelvoAppState& state, const CBoxConnection& connection);

    // True for any box address but the exact text "0.0.0.0".
    static bool IsBoxConfigured(const QString& address);

private:
    QString m_filePath;
};
