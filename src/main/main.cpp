#include "app/ErrorBoundary.h"
#include "app/StartupRecovery.h"
#include "base/Cp1250.h"
#include "base/DataRoot.h"
#include "base/DataRootLock.h"
#include "base/DataTree.h"
#include "gui/common/QtPlatform.h"
#include "gui/common/Translations.h"
#include "gui/shell/Program.h"
#include "gui/shell/Tfomenu.h"
#include "render/NumberText.h"

#include <QApplication>
#include <QDateTime>
#include <QMessageBox>
#include <QThreadPool>

int main(int argc, char** argv) {
    // Temporaries older than this were left by an earlier run.
    const QDateTime started = QDateTime::currentDateTime();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gyermek VKT"));
    // Qt's dialogs and buttons speak Hungarian like the rest of the program; the decimal
    // separator still follows the user's locale.
    Translations::installHungarian(app);

    if (!Cp1250::available()) {
        // Every data file is Windows-1250; without the converter the program would garble them.
        QMessageBox::critical(nullptr, QStringLiteral("gyermek VKT"),
                              QStringLiteral("A program nem tudja olvasni a Windows-1250 kódolású adatfájlokat "
                                             "(hiányzik a karakterkonverter), ezért nem indul el."));
        return 1;
    }

    QtPlatform platform;
    const DataRoot root = DataRoot::fromEnvironment();
    // A second program on the same data folder ends before it touches anything there.
    DataRootLock lock(root);
    if (!lock.acquire()) {
        platform.message(lock.failureText());
        return 1;
    }
    // Only the holder of the lock may finish what a crash interrupted, and before anything
    // reads the answers.
    reportFailure(platform, [&] { StartupRecovery::run(root, started); });
    // A first start, or a file the examiner lost, gets the installation's copy; nothing that
    // exists is ever replaced.
    reportFailure(platform, [&] { DataTree::layDown(root, DataTree::defaultTreeDir()); });

    Program program(root, platform, QApplication::arguments().mid(1));
    program.session().setDecimalSeparator(userDecimalSeparator());
    Tfomenu* mainWindow = program.windows().fomenu;
    platform.setOwner(mainWindow);
    // Tool windows are owned by the main window, so the program ends with it, not with the last
    // window left visible.
    QApplication::setQuitOnLastWindowClosed(false);
    // The windows still open are closed first (the instruction window saves its text then), and
    // the program ends whether they closed or not: quit() would give up at the first window that
    // refused, leaving the process running, and the data folder locked, with no menu left.
    QObject::connect(
        mainWindow, &Tfomenu::closeAccepted, &app,
        [] {
            for (QWidget* window : QApplication::topLevelWidgets()) {
                if (window->isVisible())
                    window->close();
            }
            QCoreApplication::exit(0);
        },
        Qt::QueuedConnection);
    // The desktop session ending asks the same questions as closing the main window.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, mainWindow, &Tfomenu::sessionEnding,
                     Qt::DirectConnection);

    program.start();
    mainWindow->showMaximized();
    const int status = QApplication::exec();
    // The worker threads end here, while the program is whole: left to the end of the process,
    // Windows waits for them while unloading Qt, and a thread that must end then can hang it.
    QThreadPool::globalInstance()->waitForDone();
    return status;
}
