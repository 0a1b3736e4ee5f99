#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <deque>
#include <memory>

// Every request the box received, one line each ("<UTC time> <method> <target>"), kept in memory
// for GET /demobox/log and appended to a file when one is given.
class CRequestLog final
{
    Q_DISABLE_COPY_MOVE(CRequestLog)
public:
    CRequestLog() = default;
    bool openFile(const QString& path, QString* error);
    void add(const QByteArray& method, const QByteArray& target);
    void note(const QString& text); // box events such as remote keys
    QByteArray text() const;
    void clear();

private:
    void append(const QByteArray& line);

    static constexpr std::size_t kMaxLines = 20000;
    std::deque<QByteArray> m_lines;
    std::unique_ptr<QFile> m_file;
};
