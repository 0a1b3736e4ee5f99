#pragma once

#include "DemoRecords.h"

#include <QByteArray>
#include <QString>

// Turns Unicode texts into the single-byte encodings the box marks on its names. Only the
// letters the generated database uses need to round-trip; anything else becomes '?'.
class CSingleByteCodec final
{
public:
    static QByteArray toIso8859_5(const QString& text);
    static QByteArray toIso8859_9(const QString& text);
    static QString fromIso8859_5(const QByteArray& bytes);
    static QString fromIso8859_9(const QByteArray& bytes);

    // A DemoText carrying `text` as raw bytes of `encoding` ("ISO-8859-5" or "ISO-8859-9").
    static DemoText encoded(const QString& text, const QByteArray& encoding);
    static DemoText plain(const QString& text);
};
