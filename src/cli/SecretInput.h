#pragma once

#include "cli/CliArgs.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One line typed on the terminal without echo; none when there is no terminal.
std::optional<QByteArray> askOnTerminal(const char* prompt);

// A secret (a backup's passphrase, a login's password): the first line of the file the option
// names, without its line end, else typed on the terminal, twice when again names the second
// prompt. None, after a message on stderr, when there is none to be had.
std::optional<QByteArray> readSecret(const CliArgs& args, const QString& fileOption, const char* prompt,
                                     const char* again = nullptr);
