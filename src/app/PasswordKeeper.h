#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// The server's password in the system's keyring (QtKeychain: the Secret Service, KWallet, the
// Windows credential store, the macOS keychain), never in a file of the program. Each call
// answers later, on the calling thread, through its callback; a computer without a keyring
// answers with the reason, and the program then asks for the password in every run.
namespace PasswordKeeper {

// The password kept under key, or none (not kept, or no keyring: the reason is not needed).
void read(const QString& key, std::function<void(const std::optional<QByteArray>&)> done);
// Keeps the password under key; done gets an empty text, or why it could not be kept.
void write(const QString& key, const QByteArray& password, std::function<void(const QString& error)> done);
// Forgets the password kept under key, if any.
void remove(const QString& key);

} // namespace PasswordKeeper
