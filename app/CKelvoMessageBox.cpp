#include "app/CKelvoMessageBox.h"

#include <QFile>
#include <QMessageBox>

namespace CKelvoMessageBox {

namespace {

bool Logged(const QString& caption, const QString& text)
{
    const QString path = qEnvironmentVariable("KELVO_MESSAGE_LOG");
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (file.open(QIODevice::Append | QIODevice::Text))
        file.write((caption + QLatin1Char('|') + text + QLatin1Char('\n')).toUtf8());
    return true;
}

} // namespace

void Show(QWidget* owner, const QString& caption, const QString& text)
{
    if (Logged(caption, text))
        return;
    QMessageBox::warning(owner, caption, text, QMessageBox::Ok);
}

bool Ask(QWidget* owner, const QString& caption, const QString& text)
{
    if (Logged(caption, text))
        return true;
    return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

} // namespace CKelvoMessageBox
