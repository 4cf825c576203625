#include "base/BatchJournal.h"

#include "base/TemporaryNames.h"

#include <QSet>

namespace {

const QByteArray kMagic = "gyvkt-kotegcsere 1";
const QByteArray kSwitching = "csere megkezdve: igen";
const QByteArray kStaged = "csere megkezdve: nem";
const QString kNoAside = QStringLiteral("-");

bool isPlainName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    for (const QChar c : name) {
        if (c == QLatin1Char('/') || c == QLatin1Char('\\') || c == QLatin1Char(':') || c.unicode() < 0x20)
            return false;
    }
    return true;
}

} // namespace

QByteArray BatchJournal::serialize() const {
    QByteArray bytes = kMagic + '\n' + (switching ? kSwitching : kStaged) + '\n';
    for (const Entry& e : entries) {
        bytes += e.target.toUtf8() + '\t' + e.temporary.toUtf8() + '\t' +
                 (e.aside.isEmpty() ? kNoAside : e.aside).toUtf8() + '\n';
    }
    return bytes;
}

std::optional<BatchJournal> BatchJournal::parse(const QByteArray& bytes) {
    if (bytes.size() > kMaxBytes || !bytes.endsWith('\n'))
        return std::nullopt;
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    if (lines.size() < 3 || lines.at(0) != kMagic || (lines.at(1) != kSwitching && lines.at(1) != kStaged))
        return std::nullopt;
    BatchJournal journal;
    journal.switching = lines.at(1) == kSwitching;
    QSet<QString> targets;
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> fields = lines.at(i).split('\t');
        if (fields.size() != 3)
            return std::nullopt;
        Entry e{QString::fromUtf8(fields.at(0)), QString::fromUtf8(fields.at(1)), QString::fromUtf8(fields.at(2))};
        if (e.aside == kNoAside)
            e.aside.clear();
        // Anything but our own temporaries of the named target beside the journal is refused:
        // recovery renames and removes what the journal names.
        if (!isPlainName(e.target) || targets.contains(e.target) ||
            !TemporaryNames::isTemporaryOf(e.temporary, e.target) ||
            (!e.aside.isEmpty() && !TemporaryNames::isAsideOf(e.aside, e.target)) ||
            e.target.toUtf8() != fields.at(0) || e.temporary.toUtf8() != fields.at(1))
            return std::nullopt;
        targets.insert(e.target);
        journal.entries.append(e);
    }
    return journal;
}
