#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <utility>
#include <vector>

// One command of a query text, e.g. `epg_info&svc_type=0&svc_idx=3`.
struct QueryCommand
{
    QString name;
    std::vector<std::pair<QString, QString>> params; // values without their double quotes
    bool malformed = false;                          // an unterminated quote or a parameter without "="

    std::optional<QString> value(const QString& param) const;
    // A parameter written as a decimal integer (optional sign); nullopt when absent or not one.
    std::optional<int> integer(const QString& param) const;
};

// Splits the query texts that the box receives. The client writes them raw into the request
// target: commands joined by "++", parameters introduced by "&", text values in double quotes
// that may themselves hold "&", "+", "=" or spaces. Only what cannot stand in a request line
// arrives percent-encoded.
class CQueryText final
{
public:
    enum class Form
    {
        None,
        Query,
        Command
    };

    struct Target
    {
        QByteArray path;
        Form form = Form::None;
        QString text; // decoded query text
    };

    static Target splitTarget(const QByteArray& target);
    static QByteArray percentDecode(const QByteArray& text);
    static std::vector<QueryCommand> parse(const QString& text);
    // The simple "a=1&b=2" parameters of the control endpoint.
    static std::vector<std::pair<QString, QString>> formFields(const QByteArray& query);
};
