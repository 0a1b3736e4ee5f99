#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>

class QLocalServer;
class QLocalSocket;
class QWidget;

// A line-based local socket through which the whole-journey tests ask the running program where
// things are and what state it is in; the input itself always comes from the X server. Only the
// test build of the program has one (see KelvoTestSeams), so a user never does.
class CKelvoTestProbe final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CKelvoTestProbe)

public:
    using Handler = std::function<QString(const QStringList& args)>;

    CKelvoTestProbe(const QString& path, QObject* parent);

    // A command answers one line; an unknown command or a handler's empty answer gives "error".
    void AddCommand(const QString& name, Handler handler);

    // The global rectangle of a widget as "x y w h visible", or "" when none has that name.
    static QString WidgetGeometry(const QString& objectName);
    static QString Geometry(const QWidget* widget);
    static QWidget* FindWidget(const QString& objectName);

private:
    void OnConnection();
    void OnReadyRead(QLocalSocket* socket);

    QLocalServer* m_server;
    std::map<QString, Handler> m_commands;
};
