#pragma once

#include "ui/CKelvoView.h"
#include "ui/CNxControlBar.h"

#include <QStringList>

class CPlaybackState;
class CQuarnDataModel;

// The bar below the control bar in the channel mode: satellite, transponder, PIDs and provider
// of the selected service. The four lines are made when the service is set or the database
// was refreshed; painting only draws them.
class CKelvoSATInfoBar final : public CNxControlBar, public CKelvoView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoSATInfoBar)

public:
    static constexpr int kHeight = 86;
    static constexpr int kTextLeft = 24;
    static constexpr int kLineTops[4] = {8, 24, 40, 56};

    explicit CKelvoSATInfoBar(const CQuarnDataModel& db, QWidget* parent = nullptr);

    void SetService(int serviceKey);
    // Shows the service `now` has chosen from here on.
    void Follow(const CPlaybackState& now);
    int Service() const { return m_service; }
    const QStringList& Lines() const { return m_lines; }

    static QStringList LinesFor(const CQuarnDataModel& db, int serviceKey);

    void RefreshContent() override;

protected:
    void DrawContent(QPainter& p) override;

private:
    void Reload(bool evenWhileUpdating = false);

    const CQuarnDataModel& m_db;
    int m_service = -1;
    QStringList m_lines;
};
