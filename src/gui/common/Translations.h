#pragma once

#include <QStringList>

class QCoreApplication;

// Qt's own dialogs and buttons (file, print and page-setup dialogs, message-box buttons, the
// overwrite question) in Hungarian whatever the user's locale. Qt's catalogue is read from disk,
// so a newer system translation is picked up: Qt's translations folder first, then the
// installation's copy. The program's own catalogue (gyvkt_hu.qm) gives what Qt's lacks.
namespace Translations {

// The folders looked in for qtbase_hu.qm and gyvkt_hu.qm, in order.
QStringList searchFolders();
// Installs Qt's Hungarian catalogue and the program's own into the application and makes
// Hungarian the default locale of the toolkit's own formatting; false when either catalogue
// was not found.
bool installHungarian(QCoreApplication& app);

} // namespace Translations
