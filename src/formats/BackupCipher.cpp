#include "formats/BackupCipher.h"

#include "base/UserError.h"

#include <QIODevice>
#include <QtEndian>

#include <sodium.h>

namespace {

constexpr char kMagic[8] = {'G', 'Y', 'V', 'K', 'T', 'M', 'N', 'T'};
constexpr quint8 kVersion = 1;
constexpr quint8 kArgon2id = crypto_pwhash_ALG_ARGON2ID13;
constexpr int kStreamHeaderBytes = crypto_secretstream_xchacha20poly1305_HEADERBYTES;
constexpr int kSaltBytes = crypto_pwhash_SALTBYTES;
constexpr int kKeyBytes = crypto_secretstream_xchacha20poly1305_KEYBYTES;
constexpr int kTagBytes = crypto_secretstream_xchacha20poly1305_ABYTES;

// Offsets of the header fields; integers are little-endian.
constexpr int kVersionAt = 8;
constexpr int kAlgorithmAt = 9;
constexpr int kChunkSizeAt = 12;
constexpr int kOpslimitAt = 16;
constexpr int kMemlimitAt = 24;
constexpr int kSaltAt = 32;
constexpr int kStreamHeaderAt = kSaltAt + kSaltBytes;
constexpr int kHeaderBytes = kStreamHeaderAt + kStreamHeaderBytes;

void initSodium() {
    if (sodium_init() < 0)
        throw UserError(QStringLiteral("A titkosító könyvtár (libsodium) nem indítható el."));
}

// The key lives in locked memory only as long as it is needed, and is wiped after.
struct Key {
    unsigned char bytes[kKeyBytes];
    Key() { sodium_mlock(bytes, sizeof bytes); }
    ~Key() { sodium_munlock(bytes, sizeof bytes); }
};

bool deriveKey(Key& key, const QByteArray& passphrase, const unsigned char* salt, const BackupCipher::KdfCost& cost) {
    return crypto_pwhash(key.bytes, sizeof key.bytes, passphrase.constData(),
                         static_cast<unsigned long long>(passphrase.size()), salt, cost.opslimit,
                         static_cast<size_t>(cost.memlimit), crypto_pwhash_ALG_ARGON2ID13) == 0;
}

QString outOfMemory() {
    return QStringLiteral("A kulcs előállításához nincs elég memória.");
}

} // namespace

BackupCipher::KdfCost BackupCipher::standardCost() {
    return {crypto_pwhash_OPSLIMIT_MODERATE, crypto_pwhash_MEMLIMIT_MODERATE};
}

BackupCipher::KdfCost BackupCipher::cheapestCost() {
    return {crypto_pwhash_OPSLIMIT_MIN, crypto_pwhash_MEMLIMIT_MIN};
}

QString BackupCipher::passphraseProblem(const QByteArray& passphrase) {
    if (QString::fromUtf8(passphrase).toUcs4().size() < kMinPassphraseLength)
        return QStringLiteral("A mentés jelszava legalább %1 karakter legyen.").arg(kMinPassphraseLength);
    return QString();
}

QString BackupCipher::refusal(const QString& file, const QString& reason) {
    return QStringLiteral("A biztonsági mentés nem használható: %1.\n%2").arg(reason, file);
}

struct BackupCipher::Sealer::State {
    Sink sink;
    crypto_secretstream_xchacha20poly1305_state stream;
    QByteArray header;
    QByteArray pending;
    QByteArray sealed;
    bool first = true;
    bool finished = false;
};

BackupCipher::Sealer::Sealer(Sink sink, const QByteArray& passphrase, const KdfCost& cost)
    : m_state(std::make_unique<State>()) {
    initSodium();
    State& s = *m_state;
    s.sink = std::move(sink);
    s.header = QByteArray(kHeaderBytes, '\0');
    auto* h = reinterpret_cast<unsigned char*>(s.header.data());
    std::copy(std::begin(kMagic), std::end(kMagic), s.header.data());
    h[kVersionAt] = kVersion;
    h[kAlgorithmAt] = kArgon2id;
    qToLittleEndian<quint32>(static_cast<quint32>(kChunkSize), h + kChunkSizeAt);
    qToLittleEndian<quint64>(cost.opslimit, h + kOpslimitAt);
    qToLittleEndian<quint64>(cost.memlimit, h + kMemlimitAt);
    randombytes_buf(h + kSaltAt, kSaltBytes);
    Key key;
    if (!deriveKey(key, passphrase, h + kSaltAt, cost))
        throw UserError(outOfMemory());
    crypto_secretstream_xchacha20poly1305_init_push(&s.stream, h + kStreamHeaderAt, key.bytes);
    s.pending.reserve(kChunkSize);
    s.sealed.resize(kChunkSize + kTagBytes);
    s.sink(s.header.constData(), s.header.size());
}

BackupCipher::Sealer::~Sealer() {
    sodium_memzero(&m_state->stream, sizeof m_state->stream);
}

void BackupCipher::Sealer::write(const char* data, qint64 size) {
    State& s = *m_state;
    while (size > 0) {
        const qint64 room = kChunkSize - s.pending.size();
        const qint64 take = std::min(room, size);
        s.pending.append(data, take);
        data += take;
        size -= take;
        if (s.pending.size() == kChunkSize)
            push(false);
    }
}

void BackupCipher::Sealer::finish() {
    if (!m_state->finished)
        push(true);
    m_state->finished = true;
}

void BackupCipher::Sealer::push(bool final) {
    State& s = *m_state;
    unsigned long long length = 0;
    const auto* ad = s.first ? reinterpret_cast<const unsigned char*>(s.header.constData()) : nullptr;
    crypto_secretstream_xchacha20poly1305_push(&s.stream, reinterpret_cast<unsigned char*>(s.sealed.data()), &length,
                                               reinterpret_cast<const unsigned char*>(s.pending.constData()),
                                               static_cast<unsigned long long>(s.pending.size()), ad,
                                               s.first ? static_cast<unsigned long long>(s.header.size()) : 0,
                                               final ? crypto_secretstream_xchacha20poly1305_TAG_FINAL
                                                     : crypto_secretstream_xchacha20poly1305_TAG_MESSAGE);
    s.first = false;
    s.pending.clear();
    s.sink(s.sealed.constData(), static_cast<qint64>(length));
}

struct BackupCipher::Opener::State {
    QIODevice* device = nullptr;
    QString name;
    crypto_secretstream_xchacha20poly1305_state stream;
    QByteArray header;
    QByteArray sealed;
    qint64 chunkSize = 0;
    qint64 chunk = 0;
    bool finished = false;

    [[noreturn]] void refuse(const QString& reason) const { throw UserError(refusal(name, reason)); }

    // Up to size bytes, fewer only at the end of the file.
    QByteArray readUpTo(qint64 size) {
        QByteArray bytes(size, Qt::Uninitialized);
        qint64 got = 0;
        while (got < size) {
            const qint64 n = device->read(bytes.data() + got, size - got);
            if (n < 0)
                throw UserError::cannotOpen(name);
            if (n == 0)
                break;
            got += n;
        }
        bytes.truncate(got);
        return bytes;
    }
};

BackupCipher::Opener::Opener(QIODevice& device, const QString& name, const QByteArray& passphrase,
                             const KdfCost* derivationCost)
    : m_state(std::make_unique<State>()) {
    initSodium();
    State& s = *m_state;
    s.device = &device;
    s.name = name;
    s.header = s.readUpTo(kHeaderBytes);
    const auto* h = reinterpret_cast<const unsigned char*>(s.header.constData());
    if (s.header.size() < kVersionAt + 1 || !std::equal(std::begin(kMagic), std::end(kMagic), s.header.constData()))
        s.refuse(QStringLiteral("ez nem a gyermek VKT biztonsági mentése"));
    if (h[kVersionAt] != kVersion)
        s.refuse(QStringLiteral("a mentés formátuma (%1. változat) ismeretlen ennek a programnak").arg(h[kVersionAt]));
    if (s.header.size() < kHeaderBytes)
        s.refuse(QStringLiteral("a mentés csonka: a fejléce sem teljes"));
    KdfCost cost{qFromLittleEndian<quint64>(h + kOpslimitAt), qFromLittleEndian<quint64>(h + kMemlimitAt)};
    s.chunkSize = qFromLittleEndian<quint32>(h + kChunkSizeAt);
    if (h[kAlgorithmAt] != kArgon2id || cost.opslimit < crypto_pwhash_OPSLIMIT_MIN || cost.opslimit > kMaxOpslimit ||
        cost.memlimit < crypto_pwhash_MEMLIMIT_MIN || cost.memlimit > kMaxMemlimit || s.chunkSize < 1 ||
        s.chunkSize > kMaxChunkSize)
        s.refuse(
            QStringLiteral("a fejlécben a kulcsképzés vagy a blokkméret adatai a megengedett határon kívül esnek"));
    Key key;
    if (!deriveKey(key, passphrase, h + kSaltAt, derivationCost ? *derivationCost : cost))
        throw UserError(outOfMemory());
    if (crypto_secretstream_xchacha20poly1305_init_pull(&s.stream, h + kStreamHeaderAt, key.bytes) != 0)
        s.refuse(QStringLiteral("a mentés fejléce sérült"));
}

BackupCipher::Opener::~Opener() {
    sodium_memzero(&m_state->stream, sizeof m_state->stream);
}

bool BackupCipher::Opener::next(QByteArray& plain) {
    State& s = *m_state;
    if (s.finished)
        return false;
    const qint64 full = s.chunkSize + kTagBytes;
    s.sealed = s.readUpTo(full);
    if (s.sealed.isEmpty() || s.sealed.size() < kTagBytes)
        s.refuse(QStringLiteral("a mentés csonka: a vége hiányzik"));
    plain.resize(s.sealed.size() - kTagBytes);
    unsigned long long length = 0;
    unsigned char tag = 0;
    const bool first = s.chunk == 0;
    const bool opened = crypto_secretstream_xchacha20poly1305_pull(
                            &s.stream, reinterpret_cast<unsigned char*>(plain.data()), &length, &tag,
                            reinterpret_cast<const unsigned char*>(s.sealed.constData()),
                            static_cast<unsigned long long>(s.sealed.size()),
                            first ? reinterpret_cast<const unsigned char*>(s.header.constData()) : nullptr,
                            first ? static_cast<unsigned long long>(s.header.size()) : 0) == 0;
    ++s.chunk;
    const bool shortRead = s.sealed.size() < full;
    if (!opened && first)
        s.refuse(QStringLiteral("hibás a jelszó, vagy a mentés eleje sérült"));
    // The last chunk is the short one: a cut, a flipped byte or bytes appended all land in it.
    if (!opened && shortRead)
        s.refuse(QStringLiteral("a mentés utolsó blokkja sérült, vagy a fájl csonka"));
    if (!opened || (tag != crypto_secretstream_xchacha20poly1305_TAG_MESSAGE &&
                    tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL))
        s.refuse(QStringLiteral("a mentés sérült: a(z) %1. blokkja nem hiteles").arg(s.chunk));
    if (tag != crypto_secretstream_xchacha20poly1305_TAG_FINAL && shortRead)
        s.refuse(QStringLiteral("a mentés csonka: a vége hiányzik"));
    plain.truncate(static_cast<qsizetype>(length));
    if (tag == crypto_secretstream_xchacha20poly1305_TAG_FINAL) {
        s.finished = true;
        if (!s.readUpTo(1).isEmpty())
            s.refuse(QStringLiteral("a mentés vége után idegen adat áll"));
    }
    return true;
}
