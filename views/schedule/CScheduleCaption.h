#pragma once

#include <QWidget>

class CNxButton;
class CNxStatic;

// What a schedule view puts into the main window's view caption bar: its title centred, and for
// the edit form the back button at the left. Transparent, so the bar's own background shows.
class CScheduleCaption final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kHeight = 38;

    CScheduleCaption(const QString& title, bool withBackButton, QWidget* parent = nullptr);

    CNxStatic* Title() const { return m_title; }
    CNxButton* BackButton() const { return m_back; } // nullptr without one

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void PlaceCaption();

    CNxStatic* m_title = nullptr;
    CNxButton* m_back = nullptr;
};
