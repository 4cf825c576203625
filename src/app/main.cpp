#include "app/AppState.h"
#include "app/DataTree.h"
#include "app/GuiForms.h"
#include "app/GuiStartup.h"
#include "app/Tfomenu.h"
#include "platform/Cp1250.h"
#include "platform/DataRoot.h"
#include "platform/FileError.h"
#include "platform/GuiPlatform.h"

#include <QApplication>
#include <QLocale>
#include <QMessageBox>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("gyermek VKT"));

    if (!Cp1250::available()) {
        // Every data file is Windows-1250; without the converter the program would garble them.
        QMessageBox::critical(nullptr, QStringLiteral("gyermek VKT"),
                              QStringLiteral("A program nem tudja olvasni a Windows-1250 kódolású adatfájlokat "
                                             "(hiányzik a karakterkonverter), ezért nem indul el."));
        return 1;
    }

    GuiPlatform platform;
    AppState state(DataRoot::fromEnvironment(), platform);
    state.arguments = QApplication::arguments().mid(1);
    const QString decimalPoint = QLocale::system().decimalPoint();
    if (!decimalPoint.isEmpty())
        state.decimalSeparator = decimalPoint.at(0);

    // A first start, or a file the examiner lost, gets the installation's copy; nothing that
    // exists is ever replaced.
    try {
        DataTree::layDown(state.root, DataTree::defaultTreeDir());
    } catch (const FileError& e) {
        platform.message(e.text());
    }

    Forms forms;
    createForms(state, forms);
    platform.setOwner(forms.fomenu);
    // Tool windows are owned by the main window, so the program ends with it, not with the last
    // window left visible.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(forms.fomenu, &Tfomenu::closeAccepted, &app, &QCoreApplication::quit, Qt::QueuedConnection);

    GuiStartup::run(state, forms);
    forms.fomenu->showMaximized();
    return QApplication::exec();
}
