#pragma once

#include "DemoRecords.h"

#include <QByteArray>
#include <QString>
#include <vector>

// Writes the box's XML replies byte by byte, in one of the box's two reply forms:
// UTF-8 (declared in the first tag) or single-byte (no declaration, every character one byte).
// Texts marked with a single-byte encoding keep their raw bytes in the single-byte form; in the
// UTF-8 form each of their bytes is written as the character with that code, so that a reader
// that takes the low 8 bits of each character gets the box's bytes back.
class CXmlReplyWriter final
{
public:
    explicit CXmlReplyWriter(bool utf8);

    void declaration();
    void startElement(const char* name);
    void attribute(const char* name, const QString& value);
    void attribute(const char* name, const char* value);
    void attribute(const char* name, qint64 value);
    void attribute(const char* name, const DemoText& value); // value only, never its encoding
    void text(const QString& value);
    // The text of the current element, with its encoding attribute when it has one.
    void encodedText(const DemoText& value);
    void endElement();
    // An element whose content is one text, e.g. <name encoding="ISO-8859-5">...</name>.
    void textElement(const char* name, const DemoText& value);

    QByteArray take();

    static QString boxTime(qint64 secs, bool withSeconds);

private:
    void closeStartTag();
    void appendEscaped(const QString& value, bool inAttribute);

    bool m_utf8;
    bool m_startTagOpen = false;
    std::vector<QByteArray> m_stack;
    QByteArray m_out;
};
