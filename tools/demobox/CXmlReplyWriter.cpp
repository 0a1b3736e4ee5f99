#include "CXmlReplyWriter.h"

#include <QDateTime>

CXmlReplyWriter::CXmlReplyWriter(bool utf8) : m_utf8(utf8)
{
    m_out.reserve(4096);
}

void CXmlReplyWriter::declaration()
{
    m_out += m_utf8 ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : "<?xml version=\"1.0\"?>\n";
}

void CXmlReplyWriter::closeStartTag()
{
    if (m_startTagOpen) {
        m_out += '>';
        m_startTagOpen = false;
    }
}

void CXmlReplyWriter::startElement(const char* name)
{
    closeStartTag();
    m_out += '<';
    m_out += name;
    m_stack.emplace_back(name);
    m_startTagOpen = true;
}

void CXmlReplyWriter::attribute(const char* name, const QString& value)
{
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    appendEscaped(value, true);
    m_out += '"';
}

void CXmlReplyWriter::attribute(const char* name, const char* value)
{
    attribute(name, QString::fromUtf8(value));
}

void CXmlReplyWriter::attribute(const char* name, qint64 value)
{
    m_out += ' ';
    m_out += name;
    m_out += "=\"";
    m_out += QByteArray::number(value);
    m_out += '"';
}

void CXmlReplyWriter::attribute(const char* name, const DemoText& value)
{
    attribute(name, value.isEncoded() ? QString::fromLatin1(value.raw) : value.plain);
}

void CXmlReplyWriter::text(const QString& value)
{
    closeStartTag();
    appendEscaped(value, false);
}

void CXmlReplyWriter::encodedText(const DemoText& value)
{
    if (value.isEncoded()) {
        attribute("encoding", QString::fromLatin1(value.encoding));
        // Each byte becomes the character of the same code: raw in the single-byte form,
        // U+0080..U+00FF in the UTF-8 form.
        text(QString::fromLatin1(value.raw));
    } else {
        text(value.plain);
    }
}

void CXmlReplyWriter::endElement()
{
    if (m_stack.empty())
        return;
    if (m_startTagOpen) {
        m_out += "/>";
        m_startTagOpen = false;
    } else {
        m_out += "</";
        m_out += m_stack.back();
        m_out += '>';
    }
    m_stack.pop_back();
}

void CXmlReplyWriter::textElement(const char* name, const DemoText& value)
{
    startElement(name);
    encodedText(value);
    endElement();
}

QByteArray CXmlReplyWriter::take()
{
    while (!m_stack.empty())
        endElement();
    m_out += '\n';
    return std::exchange(m_out, {});
}

void CXmlReplyWriter::appendEscaped(const QString& value, bool inAttribute)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t u = value[i].unicode();
        switch (u) {
        case u'&':
            m_out += "&amp;";
            continue;
        case u'<':
            m_out += "&lt;";
            continue;
        case u'>':
            m_out += "&gt;";
            continue;
        case u'"':
            if (inAttribute) {
                m_out += "&quot;";
                continue;
            }
            break;
        default:
            break;
        }
        // Control characters are not allowed in XML 1.0; the box never has any to send.
        if (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r')
            continue;
        if (u < 0x80) {
            m_out += char(u);
        } else if (!m_utf8) {
            m_out += u <= 0xFF ? static_cast<char>(static_cast<unsigned char>(u)) : '?';
        } else if (QChar::isHighSurrogate(u) && i + 1 < value.size() && value[i + 1].isLowSurrogate()) {
            m_out += value.mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(u)) {
            m_out += '?'; // half a pair, e.g. from a broken escape in a query text
        } else {
            m_out += QString(value[i]).toUtf8();
        }
    }
}

QString CXmlReplyWriter::boxTime(qint64 secs, bool withSeconds)
{
    return QDateTime::fromSecsSinceEpoch(secs).toString(withSeconds ? QStringLiteral("yyyy-MM-ddTHH:mm:ss")
                                                                    : QStringLiteral("yyyy-MM-ddTHH:mm"));
}
