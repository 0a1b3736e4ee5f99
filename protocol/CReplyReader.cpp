#include "protocol/CReplyReader.h"

#include <array>
#include <cctype>
#include <climits>
#include <cstring>
#include <ctime>

namespace {

// ISO/IEC 8859-5: Cyrillic in the upper half, with two symbols and two controls mixed in.
char16_t Iso8859_5(unsigned char b)
{
    if (b < 0xA1 || b == 0xAD)
        return b;
    if (b == 0xF0)
        return u'\u2116';
    if (b == 0xFD)
        return u'\u00A7';
    return static_cast<char16_t>(0x0401 + (b - 0xA1));
}

// ISO/IEC 8859-9: Latin-1 with six Turkish letters in place of Icelandic ones.
char16_t Iso8859_9(unsigned char b)
{
    switch (b) {
    case 0xD0:
        return u'\u011E';
    case 0xDD:
        return u'\u0130';
    case 0xDE:
        return u'\u015E';
    case 0xF0:
        return u'\u011F';
    case 0xFD:
        return u'\u0131';
    case 0xFE:
        return u'\u015F';
    default:
        return b;
    }
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Splits at '-', 'T' and ':' skipping empty pieces, and reads up to `count` integer parts.
std::array<int, 6> SplitTimeParts(const QByteArray& text, int count)
{
    std::array<int, 6> parts{};
    int n = 0;
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end && n < count) {
        while (p < end && (*p == '-' || *p == 'T' || *p == ':'))
            ++p;
        if (p >= end)
            break;
        const char* pieceEnd = p;
        while (pieceEnd < end && *pieceEnd != '-' && *pieceEnd != 'T' && *pieceEnd != ':')
            ++pieceEnd;
        // Read from a terminated copy of the piece alone; a piece that fits goes on the stack.
        char piece[32];
        const auto length = static_cast<size_t>(pieceEnd - p);
        if (length < sizeof piece) {
            std::memcpy(piece, p, length);
            piece[length] = '\0';
            parts[static_cast<size_t>(n++)] = CReplyReader::ToInt(piece);
        } else {
            parts[static_cast<size_t>(n++)] = CReplyReader::ToInt(QByteArray(p, pieceEnd - p).constData());
        }
        p = pieceEnd;
    }
    return parts;
}

std::optional<qint64> MakeLocalTime(const std::array<int, 6>& v)
{
    const int year = v[0], month = v[1], day = v[2], hour = v[3], minute = v[4], second = v[5];
    // Years past 9999 are no real box clock; refusing them keeps later time arithmetic in range.
    if (year < 1900 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return std::nullopt;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = -1; // the system decides daylight saving
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1) && !(tm.tm_year == 69 && tm.tm_mon == 11 && tm.tm_mday == 31))
        return std::nullopt; // beyond what the platform's clock can represent
    return static_cast<qint64>(t);
}

// An attribute's value, an element's character data, or a text node's own text.
const char* NodeValue(const pugi::xpath_node& n)
{
    if (n.attribute())
        return n.attribute().value();
    return n.node().type() == pugi::node_element ? n.node().child_value() : n.node().value();
}

pugi::xml_node FirstTextChild(const pugi::xml_node& element)
{
    for (pugi::xml_node child = element.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            return child;
    }
    return {};
}

} // namespace

QString CReplyReader::BodyToText(const QByteArray& body)
{
    const qsizetype gt = body.indexOf('>');
    if (gt >= 0 && QByteArrayView(body.constData(), gt + 1).contains("UTF-8"))
        return QString::fromUtf8(body);
    return QString::fromLatin1(body);
}

std::optional<QString> CReplyReader::DecodeBytes(const QByteArray& bytes, const QString& name)
{
    char16_t (*table)(unsigned char) = nullptr;
    if (name.compare(QLatin1String("ISO-8859-5"), Qt::CaseInsensitive) == 0)
        table = Iso8859_5;
    else if (name.compare(QLatin1String("ISO-8859-9"), Qt::CaseInsensitive) == 0)
        table = Iso8859_9;
    else if (name.compare(QLatin1String("UTF-16BE"), Qt::CaseInsensitive) == 0) {
        // Two bytes a character, high byte first; an odd trailing byte cannot form one and is dropped.
        QString out;
        out.reserve(bytes.size() / 2);
        for (qsizetype i = 0; i + 1 < bytes.size(); i += 2) {
            const auto hi = static_cast<unsigned char>(bytes[i]);
            const auto lo = static_cast<unsigned char>(bytes[i + 1]);
            out.append(QChar(static_cast<char16_t>((hi << 8) | lo)));
        }
        return out;
    }
    if (!table)
        return std::nullopt;
    QString out(bytes.size(), Qt::Uninitialized);
    QChar* d = out.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        d[i] = QChar(table(static_cast<unsigned char>(bytes[i])));
    return out;
}

void CReplyReader::FixEncodings(pugi::xml_node root)
{
    // Document order over every element's "encoding" attribute, as a "//@encoding" selection
    // would give, without building the node set.
    struct Walker final : pugi::xml_tree_walker
    {
        bool for_each(pugi::xml_node& node) override
        {
            if (node.type() != pugi::node_element)
                return true;
            const pugi::xml_attribute enc = node.attribute("encoding");
            if (!enc)
                return true;
            pugi::xml_node text = FirstTextChild(node);
            if (!text)
                return true;
            const QString chars = QString::fromUtf8(text.value());
            QByteArray bytes(chars.size(), Qt::Uninitialized);
            for (qsizetype i = 0; i < chars.size(); ++i)
                bytes[i] = static_cast<char>(chars[i].unicode() & 0xFF);
            if (const auto decoded = DecodeBytes(bytes, QString::fromUtf8(enc.value())))
                text.set_value(decoded->toUtf8().constData());
            return true;
        }
    } walker;
    pugi::xml_node top = root;
    if (top.type() != pugi::node_document)
        top = root.root();
    top.traverse(walker);
}

int CReplyReader::ToInt(const char* text)
{
    if (!text)
        return 0;
    const char* p = text;
    while (IsSpace(*p))
        ++p;
    bool negative = false;
    if (*p == '+' || *p == '-')
        negative = (*p++ == '-');
    long long value = 0;
    while (*p >= '0' && *p <= '9') {
        if (value <= static_cast<long long>(INT_MAX) + 1)
            value = value * 10 + (*p - '0');
        ++p;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int CReplyReader::ToInt(const QString& text)
{
    return ToInt(text.toUtf8().constData());
}

std::optional<qint64> CReplyReader::ParseBoxTime(const QString& text)
{
    return MakeLocalTime(SplitTimeParts(text.trimmed().toUtf8(), 5));
}

std::optional<qint64> CReplyReader::LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    return MakeLocalTime({year, month, day, hour, minute, second});
}

std::optional<qint64> CReplyReader::ParseHeaderTime(const QString& text)
{
    return MakeLocalTime(SplitTimeParts(text.toUtf8(), 6));
}

namespace {

// The node after `n` in document order below `root`, or none.
pugi::xml_node NextInDocument(pugi::xml_node n, const pugi::xml_node& root)
{
    if (pugi::xml_node child = n.first_child())
        return child;
    for (; n && n != root; n = n.parent()) {
        if (pugi::xml_node next = n.next_sibling())
            return next;
    }
    return {};
}

template <typename Match>
auto FirstInDocument(const pugi::xml_node& node, const char* element, Match match) -> decltype(match(node))
{
    const pugi::xml_node root = node.root();
    for (pugi::xml_node n = root.first_child(); n; n = NextInDocument(n, root)) {
        if (n.type() == pugi::node_element && std::strcmp(n.name(), element) == 0) {
            if (const auto found = match(n))
                return found;
        }
    }
    return {};
}

// "//name" with a plain element name and nothing else, the form every caller uses; other paths go
// to the XPath engine.
bool IsPlainDescendantPath(const char* path)
{
    if (path[0] != '/' || path[1] != '/' || path[2] == '\0')
        return false;
    for (const char* p = path + 2; *p != '\0'; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (!(std::isalnum(c) || c == '_' || c == '-' || c == ':'))
            return false;
    }
    return true;
}

} // namespace

pugi::xml_attribute CReplyReader::FirstAttribute(const pugi::xml_node& node, const char* element,
                                                 const char* attribute)
{
    return FirstInDocument(node, element,
                           [attribute](const pugi::xml_node& n) { return n.attribute(attribute); });
}

pugi::xml_node CReplyReader::FirstElement(const pugi::xml_node& node, const char* element)
{
    return FirstInDocument(node, element, [](const pugi::xml_node& n) { return n; });
}

bool CReplyReader::GetErrorCode(const pugi::xml_node& doc, const char* path, int& code)
{
    if (IsPlainDescendantPath(path)) {
        const pugi::xml_attribute error = FirstAttribute(doc, path + 2, "error");
        if (!error)
            return false;
        code = ToInt(error.value());
        return true;
    }
    char query[256];
    if (std::snprintf(query, sizeof query, "%s/@error", path) >= static_cast<int>(sizeof query))
        return false;
    try {
        const pugi::xpath_node n = doc.select_node(query);
        if (!n)
            return false;
        code = ToInt(NodeValue(n));
        return true;
    } catch (const pugi::xpath_exception&) {
        return false;
    }
}

std::optional<QString> CReplyReader::SelectText(const pugi::xml_node& node, const pugi::xpath_query& query)
{
    const pugi::xpath_node n = query.evaluate_node(node);
    if (!n)
        return std::nullopt;
    return QString::fromUtf8(NodeValue(n));
}

void CReplyReader::ReadInt(const pugi::xml_node& node, const pugi::xpath_query& query, int& field)
{
    const pugi::xpath_node n = query.evaluate_node(node);
    if (n)
        field = ToInt(NodeValue(n));
}

void CReplyReader::ReadBool(const pugi::xml_node& node, const pugi::xpath_query& query, bool& field)
{
    const pugi::xpath_node n = query.evaluate_node(node);
    if (n)
        field = ToInt(NodeValue(n)) != 0;
}

void CReplyReader::ReadText(const pugi::xml_node& node, const pugi::xpath_query& query, QString& field)
{
    if (auto t = SelectText(node, query))
        field = std::move(*t);
}

bool CReplyReader::ReadTime(const pugi::xml_node& node, const pugi::xpath_query& query, qint64& field)
{
    const auto t = SelectText(node, query);
    if (!t)
        return true;
    const auto time = ParseBoxTime(*t);
    if (!time)
        return false;
    field = *time;
    return true;
}
