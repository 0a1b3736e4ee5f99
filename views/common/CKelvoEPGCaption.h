#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

struct CServiceElement;

// The guide's caption in the view caption bar: the service's number, its scrambled mark and its
// name, or "No Information" without a service. It keeps copies of what it shows, so it never
// depends on the database's records staying alive, and sizes itself to its text.
class CKelvoEPGCaption final : public QWidget
{
    Q_OBJECT
public:
    explicit CKelvoEPGCaption(QWidget* parent = nullptr);
    Q_DISABLE_COPY_MOVE(CKelvoEPGCaption)

    // Shows a service (copied), or none.
    void SetService(const CServiceElement* service);
    int ServiceKey() const { return m_key; }
    QString Text() const; // what is shown, as one line (for tests)

    QRect NumberRect() const { return m_numberRect; }
    QRect IconRect() const { return m_iconRect; }
    QRect NameRect() const { return m_nameRect; }

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void SizeToText();
    void Layout();

    int m_key = -1;
    int m_lcn = 0;
    bool m_scrambled = false;
    QString m_name;
    QString m_noInformation;
    // Horizontal extents from sizing; the vertical ones follow the height (Layout).
    int m_numberRight = 0;
    int m_iconLeft = 0;
    int m_nameLeft = 0;
    QRect m_numberRect;
    QRect m_iconRect;
    QRect m_nameRect;
};
