#pragma once

#include <QColor>
#include <QWidget>
#include <array>

// The label of the views and dialogs: aligned text on a filled (or transparent) background,
// with optional raised, sunken or thin edges in colours derived from the background.
class CNxStatic : public QWidget
{
    Q_OBJECT
public:
    enum class Align
    {
        Left,
        Centre,
        Right
    };
    enum Edge
    {
        NoEdge = 0,
        DoubleRaised = 1,
        Sunken = 2,
        Thin = 4
    };
    // light1, light2, dark1, dark2 of a background colour.
    static std::array<QColor, 4> EdgeColours(const QColor& background);

    explicit CNxStatic(const QString& text = QString(), QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const { return m_text; }
    void SetAlignment(Align align);
    void SetCentreVertically(bool on);
    void SetTransparent(bool on);
    void SetEdges(int edges);
    void SetTextColour(const QColor& c);
    void SetBackgroundColour(const QColor& c);
    QColor TextColour() const { return m_textColour; }
    QColor BackgroundColour() const { return m_back; }
    // Width of the text plus room for the edges, height of the text; keeps the position.
    void SizeToText();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_text;
    Align m_align = Align::Left;
    bool m_centreV = true;
    bool m_transparent = false;
    int m_edges = NoEdge;
    QColor m_textColour;
    QColor m_back;
};
