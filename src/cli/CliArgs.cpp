#include "cli/CliArgs.h"

#include "cli/CliCommands.h"

bool CliArgs::parse(const QStringList& args, const QStringList& valueOptions, const QStringList& flagOptions,
                    CliArgs& out) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (optionsEnded || a == QLatin1String("-") || !a.startsWith(QLatin1Char('-'))) {
            out.positional << a;
        } else if (a == QLatin1String("--")) {
            optionsEnded = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            out.help = true;
        } else if (valueOptions.contains(a)) {
            if (i + 1 >= args.size()) {
                printErr(QStringLiteral("Hiányzik a(z) %1 kapcsoló értéke.\n").arg(a));
                return false;
            }
            out.values.insert(a, args.at(++i));
        } else if (flagOptions.contains(a)) {
            out.flags.insert(a);
        } else {
            printErr(QStringLiteral("Ismeretlen kapcsoló: %1\n").arg(a));
            return false;
        }
    }
    return true;
}
