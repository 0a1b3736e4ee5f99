#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>
#include <pugixml.hpp>

// The reading rules every reply reader shares: how the reply's bytes become text, how texts the box
// marks with another encoding are repaired, and how numbers, flags, texts, times and error codes
// are read from the document. Everything here treats the reply as untrusted input.
class CReplyReader final
{
public:
    CReplyReader() = delete;

    // UTF-8 when the first tag (up to the first '>') contains "UTF-8" exactly; otherwise every
    // byte becomes the character with the same code.
    static QString BodyToText(const QByteArray& body);

    // Re-decodes the first text child of every element carrying an encoding attribute that names
    // "ISO-8859-5", "ISO-8859-9" or "UTF-16BE" (letter case ignored), from the low 8 bits of its
    // characters. Other names leave the text alone.
    static void FixEncodings(pugi::xml_node root);

    // Decodes `bytes` (one byte per element) with a supported encoding; none for other names.
    static std::optional<QString> DecodeBytes(const QByteArray& bytes, const QString& encodingName);

    // Local date-times of the box. ParseBoxTime reads year, month, day, hour, minute (seconds
    // ignored, 0) after trimming; ParseHeaderTime reads six parts, seconds included. Out-of-range
    // parts (years 1900 to 9999) give none; a day beyond the month's end rolls over into the next month.
    static std::optional<qint64> ParseBoxTime(const QString& text);
    static std::optional<qint64> ParseHeaderTime(const QString& text);
    // The same rule for parts already read.
    static std::optional<qint64> LocalTime(int year, int month, int day, int hour, int minute, int second);

    // Leading blanks, an optional sign, decimal digits up to the first other character; no digits
    // give 0. Values beyond the int range saturate instead of overflowing.
    static int ToInt(const char* text);
    static int ToInt(const QString& text);

    // `path` + "/@error" selected as a single node: true and `code` set when it exists, otherwise
    // false and `code` unchanged.
    static bool GetErrorCode(const pugi::xml_node& doc, const char* path, int& code);

    // Field readers relative to `node`: an absent node leaves the field as it was.
    static void ReadInt(const pugi::xml_node& node, const pugi::xpath_query& query, int& field);
    static void ReadBool(const pugi::xml_node& node, const pugi::xpath_query& query, bool& field);
    static void ReadText(const pugi::xml_node& node, const pugi::xpath_query& query, QString& field);
    // False when the text is present but not a valid date-time: that fails the whole reading.
    [[nodiscard]] static bool ReadTime(const pugi::xml_node& node, const pugi::xpath_query& query,
                                       qint64& field);

    // "//element/@attribute" as a single node, found by a walk in document order that stops at the
    // first match instead of an XPath evaluation: the walk needs no memory of its own, which
    // matters for the few such selections every reply goes through. Always from the document's
    // root, as "//" is.
    static pugi::xml_attribute FirstAttribute(const pugi::xml_node& node, const char* element,
                                              const char* attribute);
    // "//element" as a single node, likewise.
    static pugi::xml_node FirstElement(const pugi::xml_node& node, const char* element);

    // The value (attribute) or text (element) of the selected node, if any.
    static std::optional<QString> SelectText(const pugi::xml_node& node, const pugi::xpath_query& query);

    static QString FromUtf8(const char* text) { return QString::fromUtf8(text); }
};
