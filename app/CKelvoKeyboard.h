#pragma once

#include <QObject>

class CMainFrame;

// The application's keys, looked at before the focused widget gets them: Enter moves between
// edit fields or toggles full screen, Escape leaves full screen, and Space and the arrows drive
// playback while the player view is shown. The channel list floating in its popup counts as part of
// the frame; keys of other windows (dialogs, the remote window) pass untouched. Each press acts
// once, where it is first delivered.
class CKelvoKeyboard final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoKeyboard)

public:
    explicit CKelvoKeyboard(CMainFrame& frame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CMainFrame& m_frame;
};
