#pragma once

#include <QStringList>

class QCoreApplication;

// Qt's own dialogs and buttons (file dialogs, message-box buttons, the overwrite question) in
// Hungarian whatever the user's locale. The catalogue is read from disk, so a newer system
// translation is picked up: Qt's translations folder first, then the installation's copy.
namespace Translations {

// The folders looked in for qtbase_hu.qm, in order.
QStringList searchFolders();
// Installs Qt's Hungarian catalogue into the application and makes Hungarian the default
// locale of the toolkit's own formatting; false when no catalogue was found.
bool installHungarian(QCoreApplication& app);

} // namespace Translations
