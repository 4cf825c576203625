#include "app/GuiStartup.h"

#include "app/AppState.h"
#include "app/GuiForms.h"
#include "app/PasswordStore.h"
#include "app/Tfomenu.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"

#include <QFile>

void GuiStartup::readStoredPassword(AppState& state) {
    const QString path = state.root.passwordStore();
    std::optional<QString> password;
    bool exists = QFile::exists(path);
    try {
        password = PasswordStore::passwordFromLines(TextFile::readLines(path));
    } catch (const FileError&) {
        exists = false;
    }
    if (password) {
        state.programPassword = *password;
        return;
    }

    state.platform.message(QStringLiteral("A program-jelszó tárolója (") + path +
                           QStringLiteral(") hiányzik vagy sérült. A program visszaállítja a telepítéskori "
                                          "tárolót; ettől kezdve a telepítéskori jelszó érvényes."));
    const QByteArray fresh = PasswordStore::defaultStoreBytes();
    state.programPassword = *PasswordStore::passwordFromLines(TextFile::splitLines(QString::fromLatin1(fresh)));
    try {
        if (exists) {
            // Whatever the damaged store held is kept beside it rather than thrown away.
            const QByteArray old = TextFile::readBytes(path);
            TextFile::writeBytes(path + QStringLiteral(".bak"), old);
        }
        TextFile::writeBytes(path, fresh);
    } catch (const FileError& e) {
        state.platform.message(e.text());
    }
}

void GuiStartup::applyHandover(AppState& state, Forms& forms) {
    const QStringList& arguments = state.arguments;
    if (arguments.size() != 2)
        return;
    const PasswordStore::Parameter first = PasswordStore::parseParameter(arguments.at(0));
    if (first.key != PasswordStore::handoverKey())
        return;
    forms.fomenu->enterPassword(first.value);
}

void GuiStartup::run(AppState& state, Forms& forms) {
    readStoredPassword(state);
    applyHandover(state, forms);
}
