#include "views/settings/CSettingsInput.h"

#include "discovery/HostFromUrl.h"
#include "res/CStringTable.h"

#include <QStringList>
#include <algorithm>

namespace {
constexpr int kFields = 4;
constexpr int kOctetDigits = 3;
constexpr int kMaxPort = 65535;

QString DigitsOnly(const QString& text)
{
    QString digits;
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    return digits;
}

// A field's text from what was typed into it: at most three digits, and at most 255.
QString Octet(const QString& typed)
{
    QString digits = DigitsOnly(typed).left(kOctetDigits);
    if (digits.isEmpty())
        return digits;
    const int value = digits.toInt();
    return QString::number(std::min(value, 255));
}

bool IsSeparator(QChar c)
{
    return c == QLatin1Char('.') || c.isSpace();
}
} // namespace

CSettingsInput::Typed CSettingsInput::Type(const Octets& before, int field, const QString& text)
{
    Typed result{before, std::clamp(field, 0, kFields - 1)};
    field = result.focus;

    quint32 whole = 0;
    if (ParseDottedIPv4(text.trimmed(), whole)) {
        result.octets = FromAddress(whole);
        result.focus = kFields - 1;
        return result;
    }

    // Separators split the text into parts for this field and the ones after it; a separator
    // typed at the end of a filled field moves on to the next one, as in the platform's control.
    QStringList parts;
    QString current;
    for (const QChar c : text) {
        if (IsSeparator(c)) {
            parts.append(current);
            current.clear();
        } else {
            current.append(c);
        }
    }
    parts.append(current);

    int at = field;
    for (int i = 0; i < parts.size() && at < kFields; ++i) {
        const bool last = i == parts.size() - 1;
        if (last && i > 0 && parts[i].isEmpty()) {
            // "12." in a field: the text so far stays, the focus goes on.
            break;
        }
        result.octets[static_cast<size_t>(at)] = Octet(parts[i]);
        if (!last)
            ++at;
    }
    at = std::min(at, kFields - 1);
    result.focus = at;
    if (DigitsOnly(parts.back()).size() >= kOctetDigits && parts.size() == 1 && at < kFields - 1)
        result.focus = at + 1;
    return result;
}

bool CSettingsInput::IsBlank(const Octets& octets)
{
    return std::all_of(octets.begin(), octets.end(), [](const QString& o) { return o.isEmpty(); });
}

bool CSettingsInput::IsComplete(const Octets& octets)
{
    return std::none_of(octets.begin(), octets.end(), [](const QString& o) { return o.isEmpty(); });
}

std::optional<quint32> CSettingsInput::Address(const Octets& octets)
{
    if (!IsComplete(octets))
        return std::nullopt;
    quint32 address = 0;
    for (const QString& o : octets)
        address = (address << 8) | static_cast<quint32>(std::clamp(o.toInt(), 0, 255));
    return address;
}

QString CSettingsInput::Dotted(const Octets& octets)
{
    quint32 address = 0;
    for (const QString& o : octets)
        address = (address << 8) | static_cast<quint32>(std::clamp(o.isEmpty() ? 0 : o.toInt(), 0, 255));
    return DottedIPv4(address);
}

CSettingsInput::Octets CSettingsInput::FromAddress(quint32 address)
{
    Octets octets;
    for (int i = 0; i < kFields; ++i)
        octets[static_cast<size_t>(i)] = QString::number((address >> (8 * (kFields - 1 - i))) & 0xFFu);
    return octets;
}

CSettingsInput::Octets CSettingsInput::FromDotted(const QString& dotted)
{
    quint32 address = 0;
    if (!ParseDottedIPv4(dotted.trimmed(), address))
        return {};
    return FromAddress(address);
}

int CSettingsInput::PortValue(const QString& text)
{
    int value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            break;
        value = std::min(value * 10 + (c.unicode() - '0'), kMaxPort + 1);
    }
    return value;
}

CSettingsInput::Values CSettingsInput::FromConnection(const CBoxConnection& connection)
{
    const CBoxSettings& s = connection.settings;
    Values values;
    values.boxAddress = FromDotted(connection.address);
    values.streamingProtocol = s.streamingProtocol;
    values.pinCode = s.pinCode;
    values.userName = s.userName;
    values.password = s.password;
    values.stodEnabled = s.stodEnabled;
    values.stodAddress = FromDotted(s.stodAddress);
    values.stodPort = QString::number(s.stodPort);
    values.stodProtocol = s.stodProtocol;
    return values;
}

CBoxConnection CSettingsInput::ToConnection(const Values& values, const CBoxConnection& base)
{
    CBoxConnection connection = base;
    CBoxSettings& s = connection.settings;
    connection.address = Dotted(values.boxAddress);
    s.streamingProtocol = values.streamingProtocol;
    s.pinCode = values.pinCode;
    s.userName = values.userName;
    s.password = values.password;
    s.stodEnabled = values.stodEnabled;
    s.stodAddress = Dotted(values.stodAddress);
    s.stodPort = PortValue(values.stodPort);
    s.stodProtocol = values.stodProtocol;
    return connection;
}

std::optional<CSettingsInput::Problem> CSettingsInput::Check(const Values& values)
{
    const auto problem = [](Field field, int textId) {
        return Problem{field, CStringTable::IDS_SETTING_CAPTION, textId};
    };
    if (!IsBlank(values.boxAddress) && !IsComplete(values.boxAddress))
        return problem(Field::BoxAddress, CStringTable::IDS_CHECK_STB_ADDRESS);
    // Switched off, the target is still stored: not as something nobody typed.
    const bool partial = !IsBlank(values.stodAddress) && !IsComplete(values.stodAddress);
    const std::optional<quint32> target = Address(values.stodAddress);
    if (partial || (values.stodEnabled && (!target || *target == 0)))
        return problem(Field::StodAddress, CStringTable::IDS_CHECK_STOD_ADDRESS);
    // 0 is the form's "no port yet", fine while nothing is streamed to the device.
    const int port = PortValue(values.stodPort);
    if (port > kMaxPort || (values.stodEnabled && port < 1))
        return problem(Field::StodPort, CStringTable::IDS_CHECK_STOD_PORT);
    return std::nullopt;
}
