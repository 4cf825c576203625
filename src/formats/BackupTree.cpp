#include "formats/BackupTree.h"

#include "base/AtomicFile.h"
#include "base/ClosedFolder.h"
#include "base/DataRoot.h"
#include "base/FileIdentity.h"
#include "base/TemporaryNames.h"
#include "base/TreeFiles.h"
#include "base/UserError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringDecoder>

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <optional>

#include <clocale>

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
// converts them through the locale's character set, which under LC_ALL=C knows no accented
// letter: this thread works in C.UTF-8 while an archive is open, and names cross as UTF-8.
// On Windows libarchive keeps a name as a wide string, and names cross as such; its writer
// still asks for every name in the C runtime's code page (for the plain tar header, which the
// pax header's UTF-8 then overrides), and refuses the entry when that fails, as it does in the
// "C" locale for any letter past Latin-1. The system's code page puts a substitute for what it
// lacks; the program takes it once, as C programs on Windows do.
#ifdef Q_OS_WIN
class Utf8Names {
public:
    Utf8Names() {
        static const bool systemCodePage = std::setlocale(LC_CTYPE, "") != nullptr;
        Q_UNUSED(systemCodePage);
    }
};

const wchar_t* wide(const QString& text) {
    return reinterpret_cast<const wchar_t*>(text.utf16());
}

std::optional<QString> fromWide(const wchar_t* name) {
    return name ? std::optional<QString>(QString::fromWCharArray(name)) : std::nullopt;
}

void setPathname(archive_entry* entry, const QString& path) {
    archive_entry_copy_pathname_w(entry, wide(path));
}

void setSymlink(archive_entry* entry, const QString& target) {
    archive_entry_copy_symlink_w(entry, wide(target));
}

std::optional<QString> pathnameOf(archive_entry* entry) {
    return fromWide(archive_entry_pathname_w(entry));
}

std::optional<QString> symlinkOf(archive_entry* entry) {
    return fromWide(archive_entry_symlink_w(entry));
}

bool isHardlink(archive_entry* entry) {
    return archive_entry_hardlink_w(entry) || archive_entry_hardlink(entry);
}
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

std::optional<QString> fromUtf8(const char* name) {
    return name ? std::optional<QString>(QString::fromUtf8(name)) : std::nullopt;
}

void setPathname(archive_entry* entry, const QString& path) {
    archive_entry_update_pathname_utf8(entry, path.toUtf8().constData());
}

void setSymlink(archive_entry* entry, const QString& target) {
    archive_entry_update_symlink_utf8(entry, target.toUtf8().constData());
}

std::optional<QString> pathnameOf(archive_entry* entry) {
    return fromUtf8(archive_entry_pathname_utf8(entry));
}

std::optional<QString> symlinkOf(archive_entry* entry) {
    return fromUtf8(archive_entry_symlink_utf8(entry));
}

bool isHardlink(archive_entry* entry) {
    return archive_entry_hardlink(entry) != nullptr;
}
#endif

// ---- what an entry may be ----

// restore() unpacks into ".<target>" + this + six random characters beside the target.
const QString kRestoreInfix = QStringLiteral(".visszaallitas-");

// What restore() can write below any folder whose path is shorter than the system's limit
// less this: one component at most kMaxNameBytes, the whole path at most kMaxPathBytes.
constexpr qsizetype kMaxNameBytes = 255;
constexpr qsizetype kMaxPathBytes = 3 * 1024;

// Why a path (relative, UTF-8) cannot be restored, or an empty text.
QString pathProblem(const QByteArray& path) {
    if (path.size() > kMaxPathBytes)
        return QStringLiteral("túl hosszú útvonal (%1 bájt, legfeljebb %2)").arg(path.size()).arg(kMaxPathBytes);
    for (const QByteArray& part : path.split('/')) {
        if (part.size() > kMaxNameBytes)
            return QStringLiteral("túl hosszú név (%1 bájt, legfeljebb %2)").arg(part.size()).arg(kMaxNameBytes);
    }
    return QString();
}

bool isUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// A name as it can be shown when it is not UTF-8: its other bytes as \xNN.
QString shownBytes(const QByteArray& bytes) {
    if (isUtf8(bytes))
        return QString::fromUtf8(bytes);
    QString shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        shown += byte >= 0x20 && byte < 0x7f ? QString(QLatin1Char(c))
                                             : QStringLiteral("\\x%1").arg(byte, 2, 16, QLatin1Char('0'));
    }
    return shown;
}

// ---- writing ----

struct Item {
    QByteArray path; // relative to the root, as the backup stores it
    QString source;  // where it is read
    TreeFiles::Status st;
    std::optional<QByteArray> bytes; // stored instead of the source's content
};

using TreeFiles::Kind;

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

// Everything a backup of a root holds. A link that restore() would take as a link (one that
// stays inside) is stored as a link; one that leads out, such as an archive folder kept on
// another disk, is followed and its folder or file stored in its place, and below it every
// link is followed too. A name that is not UTF-8, a path too long to restore, or a link that
// leads out to nothing or back into a folder above it stops the backup before anything is
// written, naming it.
class Walker {
public:
    explicit Walker(QString root) : m_root(std::move(root)) {}

    QList<Item> items;
    QStringList followed; // "link → where it leads", for the report
    QStringList sources;  // where the followed links lead

    void walk() {
        const std::optional<TreeFiles::Status> st = TreeFiles::status(m_root);
        if (!st)
            throw UserError::cannotOpen(m_root);
        walk(m_root, QByteArray(), false, {{st->device, st->file}});
    }

private:
    using Identity = std::pair<quint64, quint64>;

    [[noreturn]] void refuse(const QByteArray& relative, const QString& reason) const {
        throw UserError(QStringLiteral("Nem készült mentés: %1: %2").arg(reason, native(shownBytes(relative))));
    }

    void walk(const QString& folder, const QByteArray& relative, bool followedAbove, QList<Identity> above) {
        QList<Item> found;
        // A name that is not UTF-8 is refused below, before its path is used; the others are
        // UTF-8 on every system (on Windows the local code page would mistake them).
        for (const TreeFiles::Entry& e : TreeFiles::list(folder)) {
            found.append({relative.isEmpty() ? e.name : relative + '/' + e.name,
                          folder + QLatin1Char('/') + QString::fromUtf8(e.name),
                          e.status,
                          {}});
        }
        for (Item& item : found) {
            if (!isUtf8(item.path))
                refuse(item.path, QStringLiteral("a név nem UTF-8 kódolású, így nem állítható vissza pontosan; "
                                                 "nevezze át"));
            if (const QString problem = pathProblem(item.path); !problem.isEmpty())
                refuse(item.path, problem);
            const bool followedLink = item.st.kind == Kind::Link && !keepAsLink(item, followedAbove);
            if (followedLink)
                follow(item, above);
            items.append(item);
            if (item.st.kind == Kind::Folder)
                walk(item.source, item.path, followedAbove || followedLink,
                     above + QList<Identity>{{item.st.device, item.st.file}});
        }
    }

    bool keepAsLink(const Item& item, bool followedAbove) const {
        if (followedAbove)
            return false;
        const QByteArray target = TreeFiles::linkTarget(item.source);
        return isUtf8(target) && target.size() <= kMaxPathBytes &&
               staysInside(static_cast<int>(item.path.count('/')), QString::fromUtf8(target));
    }

    void follow(Item& item, const QList<Identity>& above) {
        const QString shown =
            QString::fromUtf8(item.path) + QStringLiteral(" → ") + shownBytes(TreeFiles::linkTarget(item.source));
        const QString resolved = QFileInfo(item.source).canonicalFilePath();
        const std::optional<TreeFiles::Status> st = resolved.isEmpty() ? std::nullopt : TreeFiles::status(resolved);
        if (!st)
            refuse(item.path, QStringLiteral("a mappán kívülre mutató hivatkozás, amelynek célja nem mappa és nem "
                                             "fájl (%1)")
                                  .arg(shown));
        if (above.contains(Identity{st->device, st->file}))
            refuse(item.path, QStringLiteral("önmagába visszavezető hivatkozás (%1)").arg(shown));
        item.source = resolved;
        item.st = *st;
        followed << shown;
        sources << resolved;
    }

    QString m_root;
};

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
        const std::optional<QString> path = pathnameOf(entry);
        if (!path)
            refuse(QStringLiteral("olvashatatlan nevű bejegyzés"));
        const QString shown = *path;
        const mode_t type = archive_entry_filetype(entry);
        if (isHardlink(entry) || (type != AE_IFREG && type != AE_IFDIR && type != AE_IFLNK))
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
        if (const QString problem = pathProblem(admitted.path.toUtf8()); !problem.isEmpty())
            refuse(problem + QStringLiteral(": ") +
                   (shown.size() > kMaxNameBytes ? shown.left(kMaxNameBytes) + QStringLiteral("…") : shown));
        // The program never writes one; a few bytes could stand for a file of any size.
        if (archive_entry_sparse_count(entry) > 0)
            refuse(QStringLiteral("ritka (sparse) fájl bejegyzése: %1").arg(shown));
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
            admitted.linkTarget = symlinkOf(entry).value_or(QString());
            if (admitted.linkTarget.toUtf8().size() > kMaxPathBytes)
                refuse(QStringLiteral("túl hosszú célú hivatkozás: %1").arg(shown));
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
        m_folders.append({local(relative), QByteArray(), archive_entry_perm(entry), mtime(entry)});
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
        m_links.append({local(relative), target.toUtf8(), 0, mtime(entry)});
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
        QByteArray target;
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
    if (QFileInfo(file.fileName()).isDir())
        throw UserError(QStringLiteral("Mappa, nem mentésfájl: ") + native(file.fileName()));
    if (!QFileInfo(file.fileName()).isFile() || !file.open(QIODevice::ReadOnly))
        throw UserError::cannotOpen(native(file.fileName()));
}

} // namespace

namespace {

// What a backup of root to file holds, in the order it is written; raises UserError before
// anything is written when the backup could not be restored or would land inside the root.
QList<Item> gather(const QString& root, const QString& file, const BackupTree::Stored& stored,
                   BackupTree::Contents& contents) {
    if (!QFileInfo(root).isDir())
        throw UserError(QStringLiteral("Nincs ilyen adatmappa: ") + native(root));
    Walker walker(root);
    walker.walk();
    const QStringList places = QStringList{root} + walker.sources;
    // A backup written into what it saves would take the place of one of the files it left
    // out, or hold an older backup of itself.
    for (const QString& place : std::as_const(places)) {
        if (FileIdentity::isInside(file, place))
            throw UserError(QStringLiteral("A mentés nem kerülhet a mentett mappába: %1\nVálasszon helyet a(z) %2 "
                                           "mappán kívül; nem készült mentés.")
                                .arg(native(file), native(place)));
    }
    contents.followedLinks = walker.followed;
    QList<Item> items = walker.items;
    items.erase(std::remove_if(items.begin(), items.end(), [](const Item& i) { return i.path == ".gyvkt.lock"; }),
                items.end());
    for (auto it = stored.cbegin(); it != stored.cend(); ++it) {
        const QByteArray path = it.key().toUtf8();
        const auto same = std::find_if(items.begin(), items.end(), [&](const Item& i) { return i.path == path; });
        if (same != items.end()) {
            same->bytes = it.value();
            continue;
        }
        Item added{path, QString(), {}, it.value()};
        added.st.mode = 0600;
        added.st.modified.seconds = QDateTime::currentSecsSinceEpoch();
        items.append(added);
    }
    std::sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.path < b.path; });
    return items;
}

// Writes one regular file's header and content: the stored bytes, or what its source holds.
qint64 writeFile(archive* a, archive_entry* entry, const Item& item, QByteArray& buffer,
                 const std::function<void(la_ssize_t)>& check) {
    archive_entry_set_filetype(entry, AE_IFREG);
    if (item.bytes) {
        archive_entry_set_size(entry, item.bytes->size());
        check(archive_write_header(a, entry));
        check(archive_write_data(a, item.bytes->constData(), static_cast<size_t>(item.bytes->size())));
        check(archive_write_finish_entry(a));
        return item.bytes->size();
    }
    TreeFiles::Reader in(item.source);
    if (!in.isFile())
        throw changedWhileRead(item.source);
    archive_entry_set_size(entry, in.size());
    check(archive_write_header(a, entry));
    qint64 left = in.size();
    while (left > 0) {
        const qint64 n = in.read(buffer.data(), std::min<qint64>(buffer.size(), left));
        if (n == 0)
            throw changedWhileRead(item.source);
        check(archive_write_data(a, buffer.constData(), static_cast<size_t>(n)));
        left -= n;
    }
    char extra = 0;
    if (in.read(&extra, 1) != 0)
        throw changedWhileRead(item.source);
    check(archive_write_finish_entry(a));
    return in.size();
}

} // namespace

BackupTree::Contents BackupTree::create(const QString& rootDir, const QString& file, const QByteArray& passphrase,
                                        const BackupCipher::KdfCost& cost, const Progress& progress,
                                        const Stored& stored) {
    const QString root = QDir::cleanPath(QFileInfo(rootDir).absoluteFilePath());
    Contents contents;
    const QList<Item> items = gather(root, file, stored, contents);
    contents.removedLeftovers = removeInterruptedBackup(file);
    qint64 total = 0;
    for (const Item& i : std::as_const(items))
        total += i.st.kind == Kind::File ? i.st.size : 0;

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
    qint64 done = 0;
    for (const Item& item : std::as_const(items)) {
        const QString relative = QString::fromUtf8(item.path);
        archive_entry_clear(entry.get());
        setPathname(entry.get(), relative);
        archive_entry_set_perm(entry.get(), item.st.mode);
        archive_entry_set_mtime(entry.get(), item.st.modified.seconds, static_cast<long>(item.st.modified.nanoseconds));
        if (item.st.kind != Kind::File) {
            archive_entry_set_size(entry.get(), 0);
            if (item.st.kind == Kind::Folder) {
                archive_entry_set_filetype(entry.get(), AE_IFDIR);
            } else {
                archive_entry_set_filetype(entry.get(), AE_IFLNK);
                setSymlink(entry.get(), QString::fromUtf8(TreeFiles::linkTarget(item.source)));
            }
            check(archive_write_header(a.get(), entry.get()));
            count(contents, relative, archive_entry_filetype(entry.get()), 0);
            continue;
        }
        const qint64 size = writeFile(a.get(), entry.get(), item, buffer, check);
        done += size;
        count(contents, relative, AE_IFREG, size);
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

QStringList BackupTree::removeInterruptedBackup(const QString& file) {
    return TemporaryNames::removeLeftoversOf(AtomicFile::target(file));
}

QStringList BackupTree::removeInterruptedRestore(const QString& target) {
    const QFileInfo info(QDir::cleanPath(QFileInfo(target).absoluteFilePath()));
    const QString prefix = QLatin1Char('.') + info.fileName() + kRestoreInfix;
    QStringList removed;
    const QFileInfoList entries = QDir(info.path()).entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo& entry : entries) {
        const QString name = entry.fileName();
        // Only a folder of this user's that mkdtemp() named: a link of that name could lead anywhere.
        if (entry.isSymLink() || !ClosedFolder::ownedByUser(entry.absoluteFilePath()) || !name.startsWith(prefix) ||
            name.size() != prefix.size() + 6)
            continue;
        if (QDir(entry.absoluteFilePath()).removeRecursively())
            removed << entry.absoluteFilePath();
    }
    return removed;
}

BackupTree::Contents BackupTree::restore(QIODevice& device, const QString& name, const QByteArray& passphrase,
                                         const QString& target, const BackupCipher::KdfCost* derivationCost) {
    const QString absolute = QDir::cleanPath(QFileInfo(target).absoluteFilePath());
    const QStringList removed = removeInterruptedRestore(absolute);
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
        info.path() + QStringLiteral("/.") + info.fileName() + kRestoreInfix + QStringLiteral("XXXXXX"), error);
    if (unpacked.isEmpty())
        throw UserError::cannotCreate(native(absolute), error);
    try {
        Unpacker unpacker(unpacked, absolute);
        const Contents contents = readAll(device, name, passphrase, derivationCost, &unpacker);
        // Everything is on the disk before the folder takes its name.
        if (const int failed = TreeFiles::syncAndRename(unpacked, absolute))
            throw UserError::cannotCreate(native(absolute), failed);
        Contents done = contents;
        done.removedLeftovers = removed;
        return done;
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
