// Shows every skin control in every state. With --grab <file.png> it renders the window
// (offscreen works) to a picture and exits.
#include "tools/gallery/CKelvoGallery.h"
#include "ui/CKelvoRes.h"

#include <QApplication>
#include <QPixmap>
#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    CKelvoRes::Instance().Load();
    QString grabPath;
    const QStringList args = QApplication::arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--grab"));
    if (at >= 0 && at + 1 < args.size()) {
        grabPath = args.at(at + 1);
    }
    CKelvoGallery gallery;
    gallery.show();
    gallery.ApplyStates();
    if (grabPath.isEmpty()) {
        return QApplication::exec();
    }
    QApplication::processEvents();
    if (!gallery.grab().save(grabPath, "PNG")) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(grabPath));
        return 1;
    }
    return 0;
}
