#include "CSingleByteCodec.h"

namespace {

// ISO 8859-9 differs from Latin-1 in six positions only.
struct TurkishPair
{
    char16_t unicode;
    unsigned char byte;
};
constexpr TurkishPair kTurkish[] = {{u'\u011E', 0xD0}, {u'\u0130', 0xDD}, {u'\u015E', 0xDE},
                                    {u'\u011F', 0xF0}, {u'\u0131', 0xFD}, {u'\u015F', 0xFE}};

char byteOf(unsigned value)
{
    return static_cast<char>(static_cast<unsigned char>(value));
}

} // namespace

QByteArray CSingleByteCodec::toIso8859_5(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0xA0)
            out.append(byteOf(u < 0x80 ? u : '?'));
        else if (u >= 0x0410 && u <= 0x044F)
            out.append(byteOf(0xB0 + (u - 0x0410)));
        else if (u == 0x0401)
            out.append(byteOf(0xA1));
        else if (u == 0x0451)
            out.append(byteOf(0xF1));
        else
            out.append('?');
    }
    return out;
}

QByteArray CSingleByteCodec::toIso8859_9(const QString& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        bool done = false;
        for (const auto& pair : kTurkish) {
            if (pair.unicode == u) {
                out.append(byteOf(pair.byte));
                done = true;
                break;
            }
        }
        if (done)
            continue;
        bool replaced = false;
        for (const auto& pair : kTurkish)
            replaced = replaced || pair.byte == u;
        out.append(u <= 0xFF && !replaced ? byteOf(u) : '?');
    }
    return out;
}

QString CSingleByteCodec::fromIso8859_5(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0xB0 && b <= 0xEF)
            out.append(QChar(char16_t(0x0410 + (b - 0xB0))));
        else if (b == 0xA1)
            out.append(QChar(char16_t(0x0401)));
        else if (b == 0xF1)
            out.append(QChar(char16_t(0x0451)));
        else
            out.append(QChar(char16_t(b)));
    }
    return out;
}

QString CSingleByteCodec::fromIso8859_9(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        char16_t u = b;
        for (const auto& pair : kTurkish) {
            if (pair.byte == b)
                u = pair.unicode;
        }
        out.append(QChar(u));
    }
    return out;
}

DemoText CSingleByteCodec::encoded(const QString& text, const QByteArray& encoding)
{
    DemoText t;
    t.plain = text;
    t.encoding = encoding;
    t.raw = encoding == "ISO-8859-5" ? toIso8859_5(text) : toIso8859_9(text);
    return t;
}

DemoText CSingleByteCodec::plain(const QString& text)
{
    DemoText t;
    t.plain = text;
    return t;
}
