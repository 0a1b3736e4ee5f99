#pragma once

#include <QWidget>
#include <functional>

// One window with every skin control in every state, for looking the skin over
// (docs/gallery.png is its picture).
class CKelvoGallery final : public QWidget
{
    Q_OBJECT
public:
    explicit CKelvoGallery(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoGallery)

    // Puts the demonstration controls into their hot, pressed and dragged states; call once the
    // window has its final geometry.
    void ApplyStates();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void BuildCaption();
    void BuildButtons(int x, int y);
    void BuildLists(int x, int y);
    void BuildBars(int x, int y);
    void BuildInputs(int x, int y);
    void BuildCaptions(int x, int y);
    void Heading(const QString& text, int x, int y);

    QList<std::function<void()>> m_states;
};
