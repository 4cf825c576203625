#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

// The encrypted envelope of a backup file: a header (magic, format version, the Argon2id costs
// and salt the key was derived with, the chunk size, libsodium's secretstream header), then the
// content in chunks of crypto_secretstream_xchacha20poly1305, the last one tagged FINAL. The
// header is the additional data of the first chunk, so no byte of the file goes unchecked, and
// a file cut at a chunk boundary lacks its FINAL chunk. docs/backup-format.md has the layout.
namespace BackupCipher {

// How much work and memory Argon2id puts into the key.
struct KdfCost {
    quint64 opslimit = 0;
    quint64 memlimit = 0; // bytes
};
// About a second on a desktop computer: what the program writes.
KdfCost standardCost();
// libsodium's least: for tests and fuzzing, whose files carry it in their header.
KdfCost cheapestCost();

// What a reader accepts from a header; more would let a file demand gigabytes or hours.
constexpr quint64 kMaxOpslimit = 8;
constexpr quint64 kMaxMemlimit = quint64(512) * 1024 * 1024;
constexpr qint64 kChunkSize = 64 * 1024;
constexpr qint64 kMaxChunkSize = 1024 * 1024;

constexpr int kMinPassphraseLength = 12;
// Why a passphrase (UTF-8) is refused, or an empty text when it will do.
QString passphraseProblem(const QByteArray& passphrase);

// The UserError raised for a backup that fails a check: the reason, then the file.
QString refusal(const QString& file, const QString& reason);

// Encrypts a stream of bytes into the sink: the header at once, then a chunk every kChunkSize
// bytes, and the FINAL chunk on finish(). The sink may raise UserError.
class Sealer {
public:
    using Sink = std::function<void(const char* data, qint64 size)>;
    Sealer(Sink sink, const QByteArray& passphrase, const KdfCost& cost);
    ~Sealer();
    Sealer(const Sealer&) = delete;
    Sealer& operator=(const Sealer&) = delete;

    void write(const char* data, qint64 size);
    void finish();

private:
    struct State;
    void push(bool final);
    std::unique_ptr<State> m_state;
};

// Decrypts a backup file chunk by chunk. Every failed check raises UserError with refusal():
// not a backup, unknown version, costs beyond the limits, wrong passphrase (or a damaged first
// chunk, which cannot be told apart), a damaged chunk, a cut file, bytes after the end.
class Opener {
public:
    // Reads and checks the header and derives the key. With derivationCost the key is derived
    // at that cost instead of the header's (which is still checked): fuzzing only.
    Opener(QIODevice& device, const QString& name, const QByteArray& passphrase,
           const KdfCost* derivationCost = nullptr);
    ~Opener();
    Opener(const Opener&) = delete;
    Opener& operator=(const Opener&) = delete;

    // The next authenticated piece of the content; false once the FINAL chunk was read and
    // nothing follows it.
    bool next(QByteArray& plain);

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace BackupCipher
