#include "app/CKelvoMessageBox.h"

#include <QMessageBox>

namespace CKelvoMessageBox {

namespace {

Sink& TheSink()
{
    static Sink sink;
    return sink;
}

} // namespace

void SetSink(Sink sink)
{
    TheSink() = std::move(sink);
}

void Show(QWidget* owner, const QString& caption, const QString& text)
{
    if (TheSink()) {
        TheSink()(caption, text);
        return;
    }
    QMessageBox::warning(owner, caption, text, QMessageBox::Ok);
}

bool Ask(QWidget* owner, const QString& caption, const QString& text)
{
    if (TheSink())
        return TheSink()(caption, text);
    return QMessageBox::question(owner, caption, text, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

} // namespace CKelvoMessageBox
