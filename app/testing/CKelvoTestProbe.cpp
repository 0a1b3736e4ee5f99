#include "app/testing/CKelvoTestProbe.h"

#include "ui/CNxListBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QVariant>
#include <QWidget>

CKelvoTestProbe::CKelvoTestProbe(const QString& path, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this))
{
    QLocalServer::removeServer(path);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(path))
        qWarning("kelvo: probe cannot listen on %s", qPrintable(path));
    connect(m_server, &QLocalServer::newConnection, this, &CKelvoTestProbe::OnConnection);
    AddCommand(QStringLiteral("widget"), [](const QStringList& args) {
        return args.size() == 1 ? WidgetGeometry(args[0]) : QString();
    });
    // "row <list> <index>": where a row of an owner-drawn list is on the screen, when it is.
    AddCommand(QStringLiteral("row"), [](const QStringList& args) -> QString {
        if (args.size() != 2)
            return {};
        const auto* list = qobject_cast<const CNxListBox*>(FindWidget(args[0]));
        bool ok = false;
        const int index = args[1].toInt(&ok);
        if (!list || !ok || index < 0 || index >= list->GetCount())
            return {};
        const QRect r = list->GetItemRect(index);
        if (r.isEmpty() || !list->rect().contains(r.center()))
            return {};
        const QPoint topLeft = list->mapToGlobal(r.topLeft());
        return QStringLiteral("%1 %2 %3 %4").arg(topLeft.x()).arg(topLeft.y()).arg(r.width()).arg(r.height());
    });
    // "command <id>": the shown control that carries a command id.
    AddCommand(QStringLiteral("command"), [](const QStringList& args) -> QString {
        bool ok = false;
        const int id = args.value(0).toInt(&ok);
        if (!ok)
            return {};
        for (QWidget* w : QApplication::allWidgets()) {
            const QVariant v = w->property("commandId");
            if (v.isValid() && v.toInt() == id && w->isVisible()) {
                return Geometry(w);
            }
        }
        return {};
    });
    AddCommand(QStringLiteral("rowtext"), [](const QStringList& args) -> QString {
        const auto* list = args.size() == 2 ? qobject_cast<const CNxListBox*>(FindWidget(args[0])) : nullptr;
        bool ok = false;
        const int index = args.value(1).toInt(&ok);
        if (!list || !ok || index < 0 || index >= list->GetCount())
            return {};
        return list->GetText(index).simplified();
    });
    // "button <text>": a shown push button by its text (message boxes' Yes, No, OK).
    AddCommand(QStringLiteral("button"), [](const QStringList& args) -> QString {
        const QString text = args.join(QLatin1Char(' '));
        for (QWidget* w : QApplication::allWidgets()) {
            const auto* button = qobject_cast<const QAbstractButton*>(w);
            if (button && button->isVisible() && button->text().remove(QLatin1Char('&')) == text) {
                return Geometry(w);
            }
        }
        return {};
    });
    // "message": the caption and text of a shown message box, as "caption|text".
    AddCommand(QStringLiteral("message"), [](const QStringList&) -> QString {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (const auto* box = qobject_cast<const QMessageBox*>(w); box && box->isVisible())
                return box->windowTitle() + QLatin1Char('|') + box->text();
        }
        return {};
    });
    AddCommand(QStringLiteral("count"), [](const QStringList& args) -> QString {
        const auto* list = args.size() == 1 ? qobject_cast<const CNxListBox*>(FindWidget(args[0])) : nullptr;
        return list ? QString::number(list->GetCount()) : QString();
    });
}

void CKelvoTestProbe::AddCommand(const QString& name, Handler handler)
{
    m_commands[name] = std::move(handler);
}

QWidget* CKelvoTestProbe::FindWidget(const QString& objectName)
{
    // A name may be used by a hidden and a shown widget (a page docked or floating): the shown
    // one is what a user can click.
    QWidget* found = nullptr;
    for (QWidget* w : QApplication::allWidgets()) {
        if (w->objectName() != objectName)
            continue;
        if (!found || (w->isVisible() && !found->isVisible()))
            found = w;
    }
    return found;
}

QString CKelvoTestProbe::Geometry(const QWidget* w)
{
    const QPoint topLeft = w->mapToGlobal(QPoint(0, 0));
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(topLeft.x())
        .arg(topLeft.y())
        .arg(w->width())
        .arg(w->height())
        .arg(w->isVisible() ? 1 : 0);
}

QString CKelvoTestProbe::WidgetGeometry(const QString& objectName)
{
    const QWidget* found = FindWidget(objectName);
    return found ? Geometry(found) : QString();
}

void CKelvoTestProbe::OnConnection()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
    }
}

void CKelvoTestProbe::OnReadyRead(QLocalSocket* socket)
{
    while (socket->canReadLine()) {
        const QString line = QString::fromUtf8(socket->readLine()).trimmed();
        QStringList args = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        QString answer;
        if (!args.isEmpty()) {
            const auto it = m_commands.find(args.takeFirst());
            if (it != m_commands.end())
                answer = it->second(args);
        }
        socket->write((answer.isEmpty() ? QStringLiteral("error") : answer).toUtf8() + '\n');
        socket->flush();
    }
}
