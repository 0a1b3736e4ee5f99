#include "CRequestLog.h"

#include <QDateTime>

bool CRequestLog::openFile(const QString& path, QString* error)
{
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        *error = QStringLiteral("cannot open log file %1: %2").arg(path, file->errorString());
        return false;
    }
    m_file = std::move(file);
    return true;
}

void CRequestLog::append(const QByteArray& line)
{
    m_lines.push_back(line);
    if (m_lines.size() > kMaxLines)
        m_lines.pop_front();
    if (m_file) {
        m_file->write(line);
        m_file->write("\n");
        m_file->flush();
    }
}

void CRequestLog::add(const QByteArray& method, const QByteArray& target)
{
    const QByteArray time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1();
    // Targets are written as received; a control character would break the one-line rule.
    QByteArray safeTarget = target;
    for (char& c : safeTarget) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            c = '?';
    }
    append(time + ' ' + method + ' ' + safeTarget);
}

void CRequestLog::note(const QString& text)
{
    const QByteArray time = QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs).toLatin1();
    append(time + " # " + text.toUtf8());
}

QByteArray CRequestLog::text() const
{
    QByteArray all;
    for (const QByteArray& line : m_lines)
        all += line + '\n';
    return all;
}

void CRequestLog::clear()
{
    m_lines.clear();
}
