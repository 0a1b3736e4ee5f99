#include "views/settings/CKelvoIPAddressCtrl.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>

namespace {
constexpr int kBorder = 1;

bool HasSeparator(const QString& text)
{
    for (const QChar c : text)
        if (c == QLatin1Char('.') || c.isSpace())
            return true;
    return false;
}
} // namespace

CKelvoIPAddressCtrl::CKelvoIPAddressCtrl(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    for (int i = 0; i < kFields; ++i) {
        auto* field = new QLineEdit(this);
        field->setFrame(false);
        field->setAlignment(Qt::AlignCenter);
        field->setObjectName(QStringLiteral("octet%1").arg(i));
        field->installEventFilter(this);
        connect(field, &QLineEdit::textEdited, this, [this, i](const QString& text) { OnEdited(i, text); });
        m_fields[static_cast<size_t>(i)] = field;
    }
    setFocusProxy(m_fields[0]);
    // The fields are one stop for the Tab key, as in the platform's control.
    for (int i = 1; i < kFields; ++i)
        m_fields[static_cast<size_t>(i)]->setFocusPolicy(Qt::ClickFocus);
    PlaceFields();
}

QLineEdit* CKelvoIPAddressCtrl::Field(int index) const
{
    if (index < 0 || index >= kFields)
        return nullptr;
    return m_fields[static_cast<size_t>(index)];
}

CSettingsInput::Octets CKelvoIPAddressCtrl::Octets() const
{
    CSettingsInput::Octets octets;
    for (int i = 0; i < kFields; ++i)
        octets[static_cast<size_t>(i)] = m_fields[static_cast<size_t>(i)]->text();
    return octets;
}

void CKelvoIPAddressCtrl::SetOctets(const CSettingsInput::Octets& octets)
{
    if (octets == Octets())
        return;
    for (int i = 0; i < kFields; ++i)
        m_fields[static_cast<size_t>(i)]->setText(octets[static_cast<size_t>(i)]);
    emit fieldChanged(-1);
}

void CKelvoIPAddressCtrl::FocusField(int index)
{
    QLineEdit* field = Field(index);
    if (!field)
        return;
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}

void CKelvoIPAddressCtrl::OnEdited(int index, const QString& text)
{
    if (m_applying)
        return;
    m_applying = true;
    QLineEdit* edited = m_fields[static_cast<size_t>(index)];
    const int cursor = edited->cursorPosition();
    const CSettingsInput::Octets before = Octets();
    const CSettingsInput::Typed typed = CSettingsInput::Type(before, index, text);
    for (int i = 0; i < kFields; ++i) {
        QLineEdit* field = m_fields[static_cast<size_t>(i)];
        const QString& wanted = typed.octets[static_cast<size_t>(i)];
        if (field->text() != wanted) {
            field->setText(wanted);
            if (field == edited)
                field->setCursorPosition(std::min(cursor, static_cast<int>(wanted.size())));
        }
    }
    // A third digit moves on only when it was typed at the end of the field.
    const bool atEnd = edited->cursorPosition() == edited->text().size();
    if (typed.focus != index && (HasSeparator(text) || atEnd))
        FocusField(typed.focus);
    m_applying = false;
    emit fieldChanged(index);
}

int CKelvoIPAddressCtrl::IndexOf(const QObject* object) const
{
    for (int i = 0; i < kFields; ++i)
        if (m_fields[static_cast<size_t>(i)] == object)
            return i;
    return -1;
}

bool CKelvoIPAddressCtrl::eventFilter(QObject* watched, QEvent* event)
{
    const int index = IndexOf(watched);
    if (index < 0 || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    QLineEdit* field = m_fields[static_cast<size_t>(index)];
    const bool plain = !field->hasSelectedText();
    const int cursor = field->cursorPosition();
    switch (key->key()) {
    case Qt::Key_Period:
    case Qt::Key_Space:
        if (!field->text().isEmpty() && index + 1 < kFields)
            FocusField(index + 1);
        return true;
    case Qt::Key_Left:
    case Qt::Key_Backspace:
        if (plain && cursor == 0 && index > 0 && key->modifiers() == Qt::NoModifier) {
            QLineEdit* previous = m_fields[static_cast<size_t>(index - 1)];
            previous->setFocus(Qt::OtherFocusReason);
            previous->deselect();
            previous->setCursorPosition(static_cast<int>(previous->text().size()));
            return true;
        }
        break;
    case Qt::Key_Right:
        if (plain && cursor == field->text().size() && index + 1 < kFields &&
            key->modifiers() == Qt::NoModifier) {
            QLineEdit* next = m_fields[static_cast<size_t>(index + 1)];
            next->setFocus(Qt::OtherFocusReason);
            next->deselect();
            next->setCursorPosition(0);
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

int CKelvoIPAddressCtrl::DotWidth() const
{
    return fontMetrics().horizontalAdvance(QLatin1Char('.')) + 4;
}

void CKelvoIPAddressCtrl::PlaceFields()
{
    const QRect inner = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    const int dot = DotWidth();
    const int fieldWidth = std::max(0, (inner.width() - (kFields - 1) * dot) / kFields);
    int x = inner.left();
    for (QLineEdit* field : m_fields) {
        field->setGeometry(x, inner.top(), fieldWidth, inner.height());
        x += fieldWidth + dot;
    }
}

QSize CKelvoIPAddressCtrl::sizeHint() const
{
    const QFontMetrics fm = fontMetrics();
    return QSize(kFields * fm.horizontalAdvance(QStringLiteral("0000")) + (kFields - 1) * DotWidth(),
                 fm.height() + 6);
}

void CKelvoIPAddressCtrl::resizeEvent(QResizeEvent*)
{
    PlaceFields();
}

void CKelvoIPAddressCtrl::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        PlaceFields();
    QWidget::changeEvent(event);
}

void CKelvoIPAddressCtrl::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    p.fillRect(rect(), palette().color(group, isEnabled() ? QPalette::Base : QPalette::Window));
    p.setPen(palette().color(group, QPalette::Mid));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    p.setPen(palette().color(group, QPalette::Text));
    for (int i = 0; i + 1 < kFields; ++i) {
        const QRect left = m_fields[static_cast<size_t>(i)]->geometry();
        const QRect dot(left.right() + 1, left.top(), DotWidth(), left.height());
        p.drawText(dot, Qt::AlignCenter, QStringLiteral("."));
    }
}
