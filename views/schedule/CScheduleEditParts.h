#pragma once

#include <QString>
#include <QWidget>
#include <QtGlobal>

class QSpinBox;

// The service line at the top of the edit form: number, scrambled mark and name, or
// "No Information". It keeps the values it shows, never a pointer into the database.
class CScheduleServiceCaption final : public QWidget
{
    Q_OBJECT
public:
    explicit CScheduleServiceCaption(QWidget* parent = nullptr);

    void ShowService(int lcn, const QString& name, bool scrambled);
    void ShowNone();
    bool HasService() const { return m_has; }
    QString Text() const; // what is drawn, for tests

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_has = false;
    int m_lcn = 0;
    QString m_name;
    bool m_scrambled = false;
    QString m_none;
};

// Duration of a timer in hours and minutes. Unlike a time-of-day picker it goes past 23:59, so a
// timer of a day or more is shown, and saved, as long as it is.
class CScheduleDurationEdit final : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMaxHours = 9999;

    explicit CScheduleDurationEdit(QWidget* parent = nullptr);

    // Whole minutes; seconds are the caller's business.
    void SetMinutes(qint64 minutes);
    qint64 Minutes() const;
    QSpinBox* Hours() const { return m_hours; }
    QSpinBox* MinutesBox() const { return m_minutes; }

signals:
    void changed();

private:
    QSpinBox* m_hours = nullptr;
    QSpinBox* m_minutes = nullptr;
};
