#pragma once

#include "views/settings/CSettingsInput.h"

#include <QWidget>
#include <array>
#include <optional>

class QLineEdit;

// The IPv4 address control of the settings form: four fields of up to three digits between
// painted dots, in the system's edit colours. Typing a dot or a space moves to the next field,
// the arrow keys and backspace cross into the neighbouring field at its edge, a third digit
// moves on, an octet above 255 becomes 255, and a whole address pasted into any field fills
// all four (the rules are CSettingsInput::Type).
class CKelvoIPAddressCtrl final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoIPAddressCtrl)

public:
    static constexpr int kFields = 4;

    explicit CKelvoIPAddressCtrl(QWidget* parent = nullptr);

    CSettingsInput::Octets Octets() const;
    void SetOctets(const CSettingsInput::Octets& octets);
    void SetAddress(quint32 address) { SetOctets(CSettingsInput::FromAddress(address)); }
    void ClearAddress() { SetOctets({}); }
    // The address when all four fields are filled.
    std::optional<quint32> Address() const { return CSettingsInput::Address(Octets()); }
    bool IsBlank() const { return CSettingsInput::IsBlank(Octets()); }

    QLineEdit* Field(int index) const;
    // Gives the keyboard focus to a field with its text selected.
    void FocusField(int index);

    QSize sizeHint() const override;

signals:
    // A field's text changed, by the user or by SetOctets (field -1 then); the address control's
    // field-changed notification.
    void fieldChanged(int field);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int IndexOf(const QObject* object) const;
    void OnEdited(int index, const QString& text);
    int DotWidth() const;
    void PlaceFields();

    std::array<QLineEdit*, kFields> m_fields{};
    bool m_applying = false;
};
