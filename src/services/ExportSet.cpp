#include "services/ExportSet.h"

#include "base/AtomicFile.h"
#include "base/ClosedFolder.h"
#include "base/FileIdentity.h"
#include "base/TemporaryNames.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#ifndef Q_OS_WIN
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

using Journal = ExportSet::Journal;
using Phase = Journal::Phase;

const QString kJournalSuffix = QStringLiteral(".exportnaplo");
const QString kMagic = QStringLiteral("gyvkt-exportkeszlet");
const QList<std::pair<Phase, QString>> kPhases{{Phase::Staging, QStringLiteral("elokeszites")},
                                               {Phase::Switching, QStringLiteral("csere")},
                                               {Phase::RollingBack, QStringLiteral("visszaallitas")}};

std::optional<int> g_stopAfter;
int g_steps = 0;

void step() {
    if (g_stopAfter && ++g_steps == *g_stopAfter)
        throw AtomicFile::Stopped{};
}

bool isRegularFile(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && !info.isSymLink();
}

// A journal is obeyed only when this user wrote it and nobody else can have changed it: it
// names files to rename and remove, and an export may go to a folder others write into too.
bool isOwnJournal(const QString& path) {
#ifdef Q_OS_WIN
    return isRegularFile(path) && ClosedFolder::ownedByUser(path);
#else
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 022) == 0;
#endif
}

// One file of the set, with full paths.
struct Item {
    QString target;
    QString temporary;
    QString aside;
};

// A set being written or recovered: its journal and its files, the table first.
struct Set {
    QString journal;
    Phase phase = Phase::Staging;
    QList<Item> items;
    QString shownTable; // the table as the user named it

    QString folder() const { return QFileInfo(journal).absolutePath(); }

    void record(Phase next) {
        phase = next;
        Journal j;
        j.phase = next;
        const QDir dir(folder());
        for (const Item& item : std::as_const(items))
            j.entries.append({dir.relativeFilePath(item.target), QFileInfo(item.temporary).fileName(),
                              QFileInfo(item.aside).fileName()});
        try {
            AtomicFile::write(journal, j.serialize());
        } catch (const UserError& e) {
            // The journal is the program's own; the file the user asked for is the table.
            throw UserError(
                QString(e.text()).replace(journal, shownTable.isEmpty() ? items.first().target : shownTable));
        }
        step();
    }

    // Whether a file besides the table holds its new bytes: its staged file is gone and the
    // target is no longer the old file kept aside (or, where there was none, exists now).
    static bool switched(const Item& item) {
        if (isRegularFile(item.temporary))
            return false;
        return item.aside.isEmpty() ? QFileInfo::exists(item.target) : !FileIdentity::same(item.target, item.aside);
    }

    bool tableInPlace() const { return !isRegularFile(items.first().temporary); }

    // A staged file neither waiting nor renamed: the set can no longer be completed.
    bool lost() const {
        if (tableInPlace())
            return false;
        for (qsizetype i = 1; i < items.size(); ++i) {
            if (!isRegularFile(items.at(i).temporary) && !switched(items.at(i)))
                return true;
        }
        return false;
    }

    // The old table aside, the other files, the new table last.
    void forward() {
        const Item& table = items.first();
        if (tableInPlace())
            return;
        if (!table.aside.isEmpty() && QFileInfo::exists(table.target))
            AtomicFile::rename(table.target, table.aside);
        step();
        for (qsizetype i = 1; i < items.size(); ++i) {
            if (isRegularFile(items.at(i).temporary)) {
                AtomicFile::rename(items.at(i).temporary, items.at(i).target);
                step();
            }
        }
        AtomicFile::rename(table.temporary, table.target);
        step();
    }

    // The old files back, the old table last; a file that did not exist before is removed. A
    // file whose new bytes still wait beside it was never replaced.
    void back() {
        if (phase != Phase::RollingBack)
            record(Phase::RollingBack);
        for (qsizetype i = 1; i < items.size(); ++i) {
            const Item& item = items.at(i);
            if (isRegularFile(item.temporary))
                continue;
            if (!item.aside.isEmpty() && isRegularFile(item.aside)) {
                AtomicFile::rename(item.aside, item.target);
            } else if (item.aside.isEmpty() && QFileInfo::exists(item.target)) {
                if (!QFile::remove(item.target))
                    throw UserError::cannotCreate(item.target);
            }
            step();
        }
        const Item& table = items.first();
        if (!table.aside.isEmpty() && isRegularFile(table.aside) && !QFileInfo::exists(table.target))
            AtomicFile::rename(table.aside, table.target);
        step();
    }

    // The set is settled: what remains of ours beside its files goes, the journal last, so that a
    // crash in between leaves a journal that leads here again rather than files nobody knows.
    void removeLeftovers() {
        for (const Item& item : std::as_const(items))
            TemporaryNames::removeLeftoversOf(item.target);
        step();
        QFile::remove(journal);
        step();
    }

    void finish() {
        if (phase == Phase::Switching && lost())
            back();
        else if (phase == Phase::Switching)
            forward();
        else if (phase == Phase::RollingBack)
            back();
        removeLeftovers();
    }
};

QString absolute(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

QString tableOf(const QString& journal) {
    const QFileInfo info(journal);
    const QString name = info.fileName();
    return info.absolutePath() + QLatin1Char('/') + name.mid(1, name.size() - 1 - kJournalSuffix.size());
}

void recover(const QString& table) {
    const QString journal = ExportSet::journalPath(table);
    const QFileInfo info(journal);
    if (!info.exists() && !info.isSymLink())
        return;
    std::optional<Journal> parsed;
    if (isOwnJournal(journal) && info.size() <= Journal::kMaxBytes) {
        QFile file(journal);
        if (file.open(QIODevice::ReadOnly))
            parsed = Journal::parse(file.read(Journal::kMaxBytes + 1), QFileInfo(table).fileName());
    }
    if (!parsed) {
        QFile::remove(journal);
        throw UserError(QStringLiteral("Egy megszakadt export naplója sérült, ezért az export nem fejezhető be; a "
                                       "napló törölve, ellenőrizze a mellette álló fájlokat: ") +
                        QDir::toNativeSeparators(journal));
    }
    Set set{journal, parsed->phase, {}, {}};
    const QDir dir(set.folder());
    for (const Journal::Entry& e : std::as_const(parsed->entries)) {
        const QString target = absolute(dir.filePath(e.target));
        const QString beside = QFileInfo(target).absolutePath() + QLatin1Char('/');
        set.items.append({target, e.temporary.isEmpty() ? QString() : beside + e.temporary,
                          e.aside.isEmpty() ? QString() : beside + e.aside});
    }
    try {
        set.finish();
    } catch (const UserError& e) {
        throw UserError(QStringLiteral("Egy megszakadt export nem fejezhető be, a naplója megmaradt: ") +
                        QDir::toNativeSeparators(journal) + QLatin1Char('\n') + e.text());
    }
}

} // namespace

QString ExportSet::journalPath(const QString& table) {
    const QFileInfo info(absolute(table));
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + kJournalSuffix;
}

void ExportSet::finishInterrupted(const QString& table) {
    g_steps = 0;
    recover(absolute(AtomicFile::target(table)));
}

void ExportSet::finishInterruptedIn(const QString& folder) {
    g_steps = 0;
    std::optional<UserError> failure;
    const QStringList journals =
        QDir(folder).entryList({QLatin1Char('*') + kJournalSuffix}, QDir::Files | QDir::Hidden);
    for (const QString& name : journals) {
        if (!name.startsWith(QLatin1Char('.')) || name.size() <= kJournalSuffix.size() + 1)
            continue;
        try {
            recover(tableOf(QDir(folder).filePath(name)));
        } catch (const UserError& e) {
            if (!failure)
                failure = e;
        }
    }
    if (failure)
        throw *failure;
}

namespace {

QString staged(const ExportSet::File& file) {
    if (!file.stream)
        return AtomicFile::stage(file.path, file.bytes);
    AtomicFile::Stream out(file.path);
    file.stream(out);
    return out.stage();
}

} // namespace

void ExportSet::write(const QList<File>& files) {
    g_steps = 0;
    const QString table = absolute(AtomicFile::target(files.first().path));
    try {
        recover(table);
    } catch (const UserError&) {
        // A damaged journal is gone and the new set replaces every file; one that could not be
        // finished still holds what the old set needs.
        if (QFileInfo::exists(journalPath(table)))
            throw;
    }
    Set set{journalPath(table), Phase::Staging, {}, files.first().path};
    for (const File& file : files) {
        set.items.append({absolute(AtomicFile::target(file.path)), QString(), QString()});
        TemporaryNames::removeLeftoversOf(set.items.last().target);
    }
    set.record(Phase::Staging);
    try {
        for (qsizetype i = 0; i < files.size(); ++i) {
            Item& item = set.items[i];
            item.temporary = staged(files.at(i));
            if (QFileInfo::exists(item.target)) {
                item.aside = TemporaryNames::aside(item.target);
                // The table is moved aside when the switch begins; the others keep a second name.
                if (i > 0)
                    AtomicFile::keepOld(item.target, item.aside);
            }
        }
        set.record(Phase::Switching);
    } catch (const UserError&) {
        set.removeLeftovers();
        throw;
    }
    try {
        set.forward();
    } catch (const UserError&) {
        try {
            set.back();
            set.removeLeftovers();
        } catch (const UserError&) {
            // The journal stays: the next export or start puts the old set back.
        }
        throw;
    }
    set.removeLeftovers();
}

QByteArray ExportSet::Journal::serialize() const {
    QJsonArray list;
    for (const Entry& e : entries)
        list.append(QJsonObject{
            {QStringLiteral("cel"), e.target}, {QStringLiteral("uj"), e.temporary}, {QStringLiteral("regi"), e.aside}});
    QString name;
    for (const auto& [p, text] : kPhases) {
        if (p == phase)
            name = text;
    }
    return QJsonDocument(QJsonObject{{kMagic, 1}, {QStringLiteral("allapot"), name}, {QStringLiteral("fajlok"), list}})
        .toJson(QJsonDocument::Compact);
}

std::optional<ExportSet::Journal> ExportSet::Journal::parse(const QByteArray& bytes, const QString& tableName) {
    if (bytes.size() > kMaxBytes)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(bytes);
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(kMagic).toInt(-1) != 1)
        return std::nullopt;
    Journal journal;
    bool known = false;
    for (const auto& [p, text] : kPhases) {
        if (root.value(QStringLiteral("allapot")) == QJsonValue(text)) {
            journal.phase = p;
            known = true;
        }
    }
    const QJsonArray list = root.value(QStringLiteral("fajlok")).toArray();
    if (!known || list.isEmpty() || list.size() > kMaxEntries)
        return std::nullopt;
    QSet<QString> targets;
    for (const QJsonValue& value : list) {
        const QJsonObject o = value.toObject();
        Entry e{o.value(QStringLiteral("cel")).toString(), o.value(QStringLiteral("uj")).toString(),
                o.value(QStringLiteral("regi")).toString()};
        const QString name = QFileInfo(e.target).fileName();
        // Only the program's own temporaries and old files of each target, beside it.
        const bool staged =
            e.temporary.isEmpty() ? journal.phase == Phase::Staging : TemporaryNames::isTemporaryOf(e.temporary, name);
        if (name.isEmpty() || e.target.contains(QChar(0)) || targets.contains(QDir::cleanPath(e.target)) || !staged ||
            (!e.aside.isEmpty() && !TemporaryNames::isAsideOf(e.aside, name)))
            return std::nullopt;
        targets.insert(QDir::cleanPath(e.target));
        journal.entries.append(e);
    }
    if (journal.entries.first().target != tableName)
        return std::nullopt;
    return journal;
}

void ExportSet::stopAfter(const std::optional<int>& steps) {
    g_stopAfter = steps;
}
