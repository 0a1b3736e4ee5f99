#include "CQueryText.h"

#include <QList>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Splits at `separator` outside double quotes. Sets `unbalanced` when a quote stays open.
std::vector<QString> splitOutsideQuotes(const QString& text, const QString& separator, bool* unbalanced)
{
    std::vector<QString> parts;
    bool quoted = false;
    qsizetype begin = 0;
    for (qsizetype i = 0; i < text.size();) {
        if (text[i] == u'"') {
            quoted = !quoted;
            ++i;
        } else if (!quoted && text.mid(i, separator.size()) == separator) {
            parts.push_back(text.mid(begin, i - begin));
            i += separator.size();
            begin = i;
        } else {
            ++i;
        }
    }
    parts.push_back(text.mid(begin));
    if (unbalanced != nullptr)
        *unbalanced = quoted;
    return parts;
}

} // namespace

std::optional<QString> QueryCommand::value(const QString& param) const
{
    for (const auto& [key, val] : params) {
        if (key == param)
            return val;
    }
    return std::nullopt;
}

std::optional<int> QueryCommand::integer(const QString& param) const
{
    const auto text = value(param);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int v = text->trimmed().toInt(&ok, 10);
    if (!ok)
        return std::nullopt;
    return v;
}

QByteArray CQueryText::percentDecode(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            // A "%" that starts no escape stays as it is: the client never escapes it.
            out += text[i];
        }
    }
    return out;
}

CQueryText::Target CQueryText::splitTarget(const QByteArray& target)
{
    Target t;
    const qsizetype q = target.indexOf('?');
    t.path = q < 0 ? target : target.left(q);
    if (q < 0)
        return t;
    const QByteArray query = target.mid(q + 1);
    QByteArray raw;
    if (query.startsWith("q=")) {
        t.form = Form::Query;
        raw = query.mid(2);
    } else if (query.startsWith("cmd=")) {
        t.form = Form::Command;
        raw = query.mid(4);
    } else {
        return t;
    }
    // A fragment never belongs to the box's query text, but the client does not escape "#"
    // either; keep it as part of the text.
    t.text = QString::fromUtf8(percentDecode(raw));
    return t;
}

std::vector<QueryCommand> CQueryText::parse(const QString& text)
{
    std::vector<QueryCommand> commands;
    if (text.isEmpty())
        return commands;
    bool unbalanced = false;
    const auto parts = splitOutsideQuotes(text, QStringLiteral("++"), &unbalanced);
    for (const QString& part : parts) {
        if (part.isEmpty())
            continue; // "a++++b" or a trailing "++": nothing between the joins
        bool open = false;
        const auto fields = splitOutsideQuotes(part, QStringLiteral("&"), &open);
        QueryCommand command;
        command.name = fields.front().trimmed();
        command.malformed = open;
        for (std::size_t i = 1; i < fields.size(); ++i) {
            const QString& field = fields[i];
            if (field.isEmpty())
                continue;
            const qsizetype eq = field.indexOf(u'=');
            if (eq <= 0) {
                command.malformed = true;
                continue;
            }
            QString value = field.mid(eq + 1);
            if (value.size() >= 2 && value.startsWith(u'"') && value.endsWith(u'"'))
                value = value.mid(1, value.size() - 2);
            else if (value.contains(u'"'))
                command.malformed = true;
            command.params.emplace_back(field.left(eq), value);
        }
        commands.push_back(std::move(command));
    }
    return commands;
}

std::vector<std::pair<QString, QString>> CQueryText::formFields(const QByteArray& query)
{
    std::vector<std::pair<QString, QString>> fields;
    for (const QByteArray& part : query.split('&')) {
        if (part.isEmpty())
            continue;
        const qsizetype eq = part.indexOf('=');
        QByteArray name = eq < 0 ? part : part.left(eq);
        QByteArray value = eq < 0 ? QByteArray() : part.mid(eq + 1);
        name.replace('+', ' ');
        value.replace('+', ' ');
        fields.emplace_back(QString::fromUtf8(percentDecode(name)), QString::fromUtf8(percentDecode(value)));
    }
    return fields;
}
