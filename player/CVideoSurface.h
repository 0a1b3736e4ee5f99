#pragma once

#include <QWidget>

// The native child window the engine draws the picture into. While a video output is present
// Qt does not touch the window at all, because the engine's OpenGL output draws straight into
// it; otherwise the widget shows black.
class CVideoSurface final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CVideoSurface)

public:
    explicit CVideoSurface(QWidget* parent = nullptr);

    bool IsVideoShown() const { return m_videoShown; }

public slots:
    void SetVideoShown(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_videoShown = false;
};
