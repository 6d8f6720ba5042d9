#include "startwin/App.h"
#include "startwin/TopWind.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication qapp(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));

    AppOptions options;
    options.appPath = QCoreApplication::applicationDirPath();
    App app(options);
    TopWind top(app);
    if (!top.Form_Initialize())
        return 0;
    QObject::connect(&top, &TopWind::ProgramEnd, &qapp, [] { QCoreApplication::exit(0); });
    top.show();
    return QApplication::exec();
}
