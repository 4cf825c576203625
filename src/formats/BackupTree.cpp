#include "formats/BackupTree.h"

#include "base/AtomicFile.h"
#include "base/ClosedFolder.h"
#include "base/DataRoot.h"
#include "base/TreeFiles.h"
#include "base/UserError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>

#ifndef Q_OS_WIN
#include <clocale>
#endif

namespace {

using ArchivePtr = std::unique_ptr<archive, int (*)(archive*)>;
using EntryPtr = std::unique_ptr<archive_entry, void (*)(archive_entry*)>;

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// "gy_vkt/archivum/": whose *.kvx files count as examinations, as in the archive window.
bool isExamination(const QString& relative) {
    static const QString folder = [] {
        const DataRoot probe(QStringLiteral("/r"));
        return QDir(probe.tavrix()).relativeFilePath(probe.archiveFolder()) + QLatin1Char('/');
    }();
    return relative.startsWith(folder) && !relative.mid(folder.size()).contains(QLatin1Char('/')) &&
           relative.endsWith(QLatin1String(".kvx"), Qt::CaseInsensitive);
}

void count(BackupTree::Contents& contents, const QString& relative, mode_t type, qint64 size) {
    if (type == AE_IFDIR) {
        ++contents.folders;
    } else if (type == AE_IFLNK) {
        ++contents.links;
    } else {
        ++contents.files;
        contents.bytes += size;
        if (isExamination(relative))
            ++contents.examinations;
    }
}

// The names inside the archive are UTF-8, as Qt takes the file system's names to be. libarchive
// converts through the locale's character set, which under LC_ALL=C knows no accented letter;
// this thread works in C.UTF-8 while an archive is open. (On Windows it converts through the
// system's UTF-8 code page whatever the locale.)
#ifdef Q_OS_WIN
class Utf8Names {
public:
    Utf8Names() {}
};
#else
class Utf8Names {
public:
    Utf8Names() : m_utf8(::newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr))) {
        if (m_utf8)
            m_previous = ::uselocale(m_utf8);
    }
    ~Utf8Names() {
        if (m_utf8) {
            ::uselocale(m_previous);
            ::freelocale(m_utf8);
        }
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t m_utf8;
    locale_t m_previous = nullptr;
};
#endif

// ---- writing ----

struct WriteClient {
    BackupCipher::Sealer* sealer = nullptr;
    std::optional<UserError> error;
};

la_ssize_t writeSealed(archive*, void* client, const void* buffer, size_t size) {
    auto* c = static_cast<WriteClient*>(client);
    try {
        c->sealer->write(static_cast<const char*>(buffer), static_cast<qint64>(size));
        return static_cast<la_ssize_t>(size);
    } catch (const UserError& e) {
        c->error = e;
        return -1;
    }
}

UserError changedWhileRead(const QString& path) {
    return UserError(QStringLiteral("A fájl mentés közben megváltozott, a mentés nem teljes: ") + native(path) +
                     QStringLiteral("\nPróbálja újra, amikor a program nem dolgozik vele."));
}

// ---- reading ----

struct ReadClient {
    BackupCipher::Opener* opener = nullptr;
    QByteArray chunk;
    std::optional<UserError> error;
};

la_ssize_t readOpened(archive* a, void* client, const void** buffer) {
    auto* c = static_cast<ReadClient*>(client);
    try {
        if (!c->opener->next(c->chunk))
            return 0;
    } catch (const UserError& e) {
        c->error = e;
        archive_set_error(a, EIO, "backup");
        return -1;
    }
    *buffer = c->chunk.constData();
    return c->chunk.size();
}

// Whether a link at a path with `depth` folders above it, to target, stays inside the root.
// Leading ".." climb real folders (no entry lies below a link); once the target has gone down
// a component, which may itself be a link, it may not climb again.
bool staysInside(int depth, const QString& target) {
    if (target.isEmpty() || target.startsWith(QLatin1Char('/')))
        return false;
    bool down = false;
    for (const QString& part : target.split(QLatin1Char('/'))) {
        if (part.isEmpty() || part == QLatin1String("."))
            continue;
        if (part == QLatin1String("..")) {
            if (down || depth == 0)
                return false;
            --depth;
        } else {
            down = true;
        }
    }
    return true;
}

// The checks every entry passes before it is counted or written.
class EntryRules {
public:
    explicit EntryRules(QString name) : m_name(std::move(name)) {}

    struct Admitted {
        QString path; // relative, clean
        mode_t type = 0;
        QString linkTarget;
    };

    Admitted admit(archive_entry* entry) {
        const char* rawPath = archive_entry_pathname_utf8(entry);
        if (!rawPath)
            refuse(QStringLiteral("olvashatatlan nevű bejegyzés"));
        const QString shown = QString::fromUtf8(rawPath);
        const mode_t type = archive_entry_filetype(entry);
        if (archive_entry_hardlink(entry) || (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK))
            refuse(QStringLiteral("eszköz, cső vagy más különleges bejegyzés: %1").arg(shown));
        if (shown.startsWith(QLatin1Char('/')))
            refuse(QStringLiteral("abszolút útvonalú bejegyzés: %1").arg(shown));
        QStringList parts;
        for (const QString& part : shown.split(QLatin1Char('/'))) {
            if (part == QLatin1String(".."))
                refuse(QStringLiteral("„..” elemet tartalmazó bejegyzés: %1").arg(shown));
            if (!part.isEmpty() && part != QLatin1String("."))
                parts.append(part);
        }
        if (parts.isEmpty())
            refuse(QStringLiteral("üres nevű bejegyzés"));
        Admitted admitted{parts.join(QLatin1Char('/')), type, QString()};
        for (qsizetype i = 1; i < parts.size(); ++i) {
            const QString above = parts.mid(0, i).join(QLatin1Char('/'));
            const auto it = m_seen.constFind(above);
            if (it == m_seen.cend())
                m_seen.insert(above, Seen::ImpliedFolder);
            else if (*it == Seen::File || *it == Seen::Link)
                refuse(QStringLiteral("hivatkozáson vagy fájlon átvezető bejegyzés: %1").arg(shown));
        }
        const auto it = m_seen.constFind(admitted.path);
        if (it != m_seen.cend() && !(type == AE_IFDIR && *it == Seen::ImpliedFolder))
            refuse(QStringLiteral("kétszer szereplő bejegyzés: %1").arg(shown));
        m_seen.insert(admitted.path, type == AE_IFDIR ? Seen::Folder : type == AE_IFLNK ? Seen::Link : Seen::File);
        if (type == AE_IFLNK) {
            const char* rawTarget = archive_entry_symlink_utf8(entry);
            admitted.linkTarget = rawTarget ? QString::fromUtf8(rawTarget) : QString();
            if (!staysInside(static_cast<int>(parts.size()) - 1, admitted.linkTarget))
                refuse(
                    QStringLiteral("a célmappán kívülre mutató hivatkozás: %1 → %2").arg(shown, admitted.linkTarget));
        }
        return admitted;
    }

    [[noreturn]] void refuse(const QString& reason) const { throw UserError(BackupCipher::refusal(m_name, reason)); }

private:
    enum class Seen { ImpliedFolder, Folder, File, Link };
    QString m_name;
    QHash<QString, Seen> m_seen;
};

// Writes what restore() unpacks below a fresh folder of its own. Links and the folders' modes
// and times come last: no file is ever written through a link, and writing into a folder
// would change its time again.
class Unpacker {
public:
    Unpacker(QString folder, QString shownTarget) : m_folder(std::move(folder)), m_shown(std::move(shownTarget)) {}

    void folder(const QString& relative, archive_entry* entry) {
        makeFolders(relative);
        m_folders.append({local(relative), QString(), archive_entry_perm(entry), mtime(entry)});
    }

    void file(const QString& relative, archive_entry* entry, archive* a, const std::function<void()>& failed) {
        const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
        if (slash > 0)
            makeFolders(relative.left(slash));
        TreeFiles::Writer out(local(relative));
        if (out.error() != 0)
            cannotWrite(relative, out.error());
        const void* buffer = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        for (;;) {
            const int r = archive_read_data_block(a, &buffer, &size, &offset);
            if (r == ARCHIVE_EOF)
                break;
            if (r < ARCHIVE_WARN)
                failed();
            if (const int error = out.write(static_cast<const char*>(buffer), static_cast<qint64>(size), offset))
                cannotWrite(relative, error);
        }
        if (const int error = out.finish(archive_entry_size(entry), archive_entry_perm(entry), mtime(entry)))
            cannotWrite(relative, error);
    }

    void link(const QString& relative, const QString& target, archive_entry* entry) {
        const qsizetype slash = relative.lastIndexOf(QLatin1Char('/'));
        if (slash > 0)
            makeFolders(relative.left(slash));
        m_links.append({local(relative), target, 0, mtime(entry)});
    }

    void finish() {
        for (const Deferred& l : std::as_const(m_links)) {
            if (const int error = TreeFiles::makeLink(l.path, l.target, l.mtime))
                cannotWrite(l.path, error);
        }
        // Deepest first, so that setting a folder's time does not disturb its parent's. The owner
        // keeps the right to enter and change every folder, or the data could not be used.
        std::sort(m_folders.begin(), m_folders.end(),
                  [](const Deferred& a, const Deferred& b) { return a.path.size() > b.path.size(); });
        for (const Deferred& f : std::as_const(m_folders)) {
            if (const int error = TreeFiles::setFolder(f.path, f.mode, f.mtime))
                cannotWrite(f.path, error);
        }
    }

private:
    struct Deferred {
        QString path;
        QString target;
        unsigned mode;
        TreeFiles::Time mtime;
    };

    static TreeFiles::Time mtime(archive_entry* entry) {
        return {archive_entry_mtime(entry), archive_entry_mtime_nsec(entry)};
    }
    QString local(const QString& relative) const { return m_folder + QLatin1Char('/') + relative; }
    void makeFolders(const QString& relative) {
        const QStringList parts = relative.split(QLatin1Char('/'));
        for (qsizetype i = 1; i <= parts.size(); ++i) {
            const QString sub = parts.mid(0, i).join(QLatin1Char('/'));
            if (const int error = TreeFiles::makeFolder(local(sub)))
                cannotWrite(sub, error);
        }
    }
    // path: below the unpacked folder, absolute or relative to it.
    [[noreturn]] void cannotWrite(const QString& path, int error) const {
        const QString relative = path.startsWith(m_folder + QLatin1Char('/')) ? path.mid(m_folder.size() + 1) : path;
        throw UserError::cannotCreate(native(m_shown + QLatin1Char('/') + relative), error);
    }

    QString m_folder;
    QString m_shown;
    QList<Deferred> m_links;
    QList<Deferred> m_folders;
};

// Reads the whole backup, admits every entry and hands it to the unpacker when there is one;
// then makes sure the FINAL chunk was read and nothing follows it.
BackupTree::Contents readAll(QIODevice& device, const QString& name, const QByteArray& passphrase,
                             const BackupCipher::KdfCost* derivationCost, Unpacker* unpacker) {
    const Utf8Names utf8;
    BackupCipher::Opener opener(device, name, passphrase, derivationCost);
    ReadClient client;
    client.opener = &opener;
    EntryRules rules(name);
    const ArchivePtr a(archive_read_new(), archive_read_free);
    archive_read_support_format_tar(a.get());
    const auto failed = [&]() {
        if (client.error)
            throw *client.error;
        rules.refuse(QStringLiteral("a mentés tartalomjegyzéke hibás"));
    };
    if (archive_read_open(a.get(), &client, nullptr, readOpened, nullptr) != ARCHIVE_OK)
        failed();
    BackupTree::Contents contents;
    for (;;) {
        archive_entry* entry = nullptr;
        const int r = archive_read_next_header(a.get(), &entry);
        if (r == ARCHIVE_EOF)
            break;
        if (r < ARCHIVE_WARN)
            failed();
        const EntryRules::Admitted admitted = rules.admit(entry);
        count(contents, admitted.path, admitted.type, archive_entry_size(entry));
        if (!unpacker) {
            if (archive_read_data_skip(a.get()) < ARCHIVE_WARN)
                failed();
        } else if (admitted.type == AE_IFDIR) {
            unpacker->folder(admitted.path, entry);
        } else if (admitted.type == AE_IFLNK) {
            unpacker->link(admitted.path, admitted.linkTarget, entry);
        } else {
            unpacker->file(admitted.path, entry, a.get(), failed);
        }
    }
    // The archive's end may come before the last chunk; those chunks are authenticated too.
    QByteArray rest;
    while (opener.next(rest)) {
    }
    if (unpacker)
        unpacker->finish();
    return contents;
}

void openForReading(QFile& file) {
    if (!QFileInfo::exists(file.fileName()))
        throw UserError(QStringLiteral("Nincs ilyen fájl: ") + native(file.fileName()));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        throw UserError::cannotOpen(native(file.fileName()));
}

} // namespace

BackupTree::Contents BackupTree::create(const QString& rootDir, const QString& file, const QByteArray& passphrase,
                                        const BackupCipher::KdfCost& cost, const Progress& progress) {
    const QString root = QDir::cleanPath(QFileInfo(rootDir).absoluteFilePath());
    if (!QFileInfo(root).isDir())
        throw UserError(QStringLiteral("Nincs ilyen adatmappa: ") + native(root));
    QList<TreeFiles::Entry> items = TreeFiles::walk(root);
    // Neither the lock nor an older backup of the same name inside the root goes in.
    const QString output = QDir::cleanPath(QFileInfo(file).absoluteFilePath());
    const QString outputInside = output.startsWith(root + QLatin1Char('/')) ? output.mid(root.size() + 1) : QString();
    items.erase(std::remove_if(items.begin(), items.end(),
                               [&](const TreeFiles::Entry& i) {
                                   return i.path == QLatin1String(".gyvkt.lock") || i.path == outputInside;
                               }),
                items.end());
    std::sort(items.begin(), items.end(),
              [](const TreeFiles::Entry& a, const TreeFiles::Entry& b) { return a.path < b.path; });
    qint64 total = 0;
    for (const TreeFiles::Entry& i : std::as_const(items))
        total += i.size;

    const Utf8Names utf8;
    AtomicFile::Stream out(file);
    BackupCipher::Sealer sealer([&out](const char* data, qint64 size) { out.write(data, size); }, passphrase, cost);
    WriteClient client;
    client.sealer = &sealer;
    const ArchivePtr a(archive_write_new(), archive_write_free);
    const auto check = [&](la_ssize_t r) {
        if (r >= ARCHIVE_WARN)
            return;
        if (client.error)
            throw *client.error;
        throw UserError::cannotCreate(native(file));
    };
    // Restricted pax: a plain ustar header, and a pax extended header only for what ustar cannot
    // hold (long or accented names, large files). Full pax would add one to every entry for the
    // nanoseconds of its time, a fifth more bytes to encrypt and write for the program's small
    // files; times then come back to the second.
    check(archive_write_set_format_pax_restricted(a.get()));
    // No padding of the last block to tape size: the archive ends after its end marker.
    check(archive_write_set_bytes_in_last_block(a.get(), 1));
    check(archive_write_open2(a.get(), &client, nullptr, writeSealed, nullptr, nullptr));
    const EntryPtr entry(archive_entry_new(), archive_entry_free);
    QByteArray buffer(256 * 1024, Qt::Uninitialized);
    Contents contents;
    qint64 done = 0;
    for (const TreeFiles::Entry& item : std::as_const(items)) {
        const QString& relative = item.path;
        const QString path = root + QLatin1Char('/') + relative;
        archive_entry_clear(entry.get());
        archive_entry_update_pathname_utf8(entry.get(), relative.toUtf8().constData());
        archive_entry_set_perm(entry.get(), item.mode);
        archive_entry_set_mtime(entry.get(), item.modified.seconds, static_cast<long>(item.modified.nanoseconds));
        if (item.kind != TreeFiles::Kind::File) {
            archive_entry_set_size(entry.get(), 0);
            if (item.kind == TreeFiles::Kind::Folder) {
                archive_entry_set_filetype(entry.get(), AE_IFDIR);
            } else {
                archive_entry_set_filetype(entry.get(), AE_IFLNK);
                archive_entry_update_symlink_utf8(entry.get(), TreeFiles::linkTarget(path).toUtf8().constData());
            }
            check(archive_write_header(a.get(), entry.get()));
            count(contents, relative, archive_entry_filetype(entry.get()), 0);
            continue;
        }
        TreeFiles::Reader in(path);
        if (!in.isFile())
            throw changedWhileRead(path);
        archive_entry_set_filetype(entry.get(), AE_IFREG);
        archive_entry_set_size(entry.get(), in.size());
        check(archive_write_header(a.get(), entry.get()));
        qint64 left = in.size();
        while (left > 0) {
            const qint64 n = in.read(buffer.data(), std::min<qint64>(buffer.size(), left));
            if (n == 0)
                throw changedWhileRead(path);
            check(archive_write_data(a.get(), buffer.constData(), static_cast<size_t>(n)));
            left -= n;
            done += n;
        }
        char extra = 0;
        if (in.read(&extra, 1) != 0)
            throw changedWhileRead(path);
        check(archive_write_finish_entry(a.get()));
        count(contents, relative, AE_IFREG, in.size());
        if (progress && !progress(done, total))
            throw Cancelled{};
    }
    check(archive_write_close(a.get()));
    sealer.finish();
    out.commit();
    return contents;
}

BackupTree::Contents BackupTree::verify(QIODevice& device, const QString& name, const QByteArray& passphrase,
                                        const BackupCipher::KdfCost* derivationCost) {
    return readAll(device, name, passphrase, derivationCost, nullptr);
}

BackupTree::Contents BackupTree::verifyFile(const QString& file, const QByteArray& passphrase) {
    QFile device(file);
    openForReading(device);
    return verify(device, native(file), passphrase);
}

BackupTree::Contents BackupTree::restore(QIODevice& device, const QString& name, const QByteArray& passphrase,
                                         const QString& target, const BackupCipher::KdfCost* derivationCost) {
    const QString absolute = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QFileInfo info(absolute);
    if (info.isSymLink() ||
        (info.exists() && (!info.isDir() || !QDir(absolute).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot |
                                                                    QDir::Hidden | QDir::System))))
        throw UserError(QStringLiteral("A visszaállítás célmappája már létezik, és nem üres: %1\nVisszaállítani csak "
                                       "új vagy üres mappába lehet; semmi sem változott.")
                            .arg(native(absolute)));
    if (!ClosedFolder::makePath(info.path()))
        throw UserError::cannotCreate(native(info.path()), errno);
    int error = 0;
    const QString unpacked = TreeFiles::makeTemporaryFolder(
        info.path() + QStringLiteral("/.") + info.fileName() + QStringLiteral(".visszaallitas-XXXXXX"), error);
    if (unpacked.isEmpty())
        throw UserError::cannotCreate(native(absolute), error);
    try {
        Unpacker unpacker(unpacked, absolute);
        const Contents contents = readAll(device, name, passphrase, derivationCost, &unpacker);
        // Everything is on the disk before the folder takes its name.
        if (const int failed = TreeFiles::syncAndRename(unpacked, absolute))
            throw UserError::cannotCreate(native(absolute), failed);
        return contents;
    } catch (...) {
        QDir(unpacked).removeRecursively();
        throw;
    }
}

BackupTree::Contents BackupTree::restoreFile(const QString& file, const QByteArray& passphrase, const QString& target) {
    QFile device(file);
    openForReading(device);
    return restore(device, native(file), passphrase, target);
}
