#pragma once

#include "model/CBoxConnection.h"

#include <QString>
#include <QtGlobal>
#include <array>
#include <optional>

// The settings form's rules, without any widget: how the four fields of an address control take
// what is typed or pasted, what the form's values turn into when they are saved, and which
// values Save must refuse because they would be stored as a different, wrong setting.
class CSettingsInput final
{
public:
    // The four fields of an address control, each blank or "0".."255".
    using Octets = std::array<QString, 4>;

    // The fields after the user changed field `field` to `text` (a keystroke or a paste), and the
    // field that should have the keyboard focus next (the same one unless the input moved on).
    struct Typed
    {
        Octets octets;
        int focus = 0;
    };

    // Digits only; a text of more than one part ("10.0.0.7", "7.") carries on into the fields
    // after `field`, and a complete address pasted anywhere fills all four. An octet above 255
    // becomes 255, as the platform's address control does; a field that got its third digit
    // moves the focus on.
    static Typed Type(const Octets& before, int field, const QString& text);

    static bool IsBlank(const Octets& octets);
    static bool IsComplete(const Octets& octets);
    // The address when all four fields are filled.
    static std::optional<quint32> Address(const Octets& octets);
    // Dotted form for storing, blank fields read as 0 (so a blank control gives "0.0.0.0").
    static QString Dotted(const Octets& octets);
    static Octets FromAddress(quint32 address);
    // Blank fields unless `dotted` is a strict dotted-quad address.
    static Octets FromDotted(const QString& dotted);

    // The value of the port field: its leading digits in decimal, 0 when it starts with none;
    // more digits than any port has give a value above 65535 rather than an overflow.
    static int PortValue(const QString& text);

    // Everything the form holds, as the user left it.
    struct Values
    {
        Octets boxAddress;
        int streamingProtocol = -1; // -1: no row selected
        QString pinCode;
        QString userName;
        QString password;
        bool stodEnabled = false;
        Octets stodAddress;
        QString stodPort;
        int stodProtocol = -1;
    };

    static Values FromConnection(const CBoxConnection& connection);
    // `base` supplies what the form does not show (the box's port).
    static CBoxConnection ToConnection(const Values& values, const CBoxConnection& base);

    enum class Field
    {
        BoxAddress,
        StodAddress,
        StodPort,
    };
    // Why Save is refused: the field to correct, and the string-table ids of the message.
    struct Problem
    {
        Field field;
        int captionId;
        int textId;
    };
    // An address typed only in part would be stored with zeros in the blank fields, an address
    // nobody asked for; a blank box address is fine (it means "no box yet"). A port above 65535
    // is no port. While streaming to the other device is on, it also needs a complete, non-zero
    // address and a port of 1..65535; while it is off, a blank address and port 0 are stored.
    static std::optional<Problem> Check(const Values& values);
};
