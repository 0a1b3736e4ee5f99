#include "app/CKelvoPlayerApp.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication qapp(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Dravik"));
    QApplication::setApplicationName(QStringLiteral("Kelvo+"));
    CKelvoPlayerApp app;
    if (!app.InitInstance())
        return 1;
    const int rc = QApplication::exec();
    app.ExitInstance();
    return rc;
}
