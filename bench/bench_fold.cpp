// Folds one 4 MiB accented field as the archive listing does for a name, and reads an
// examination whose name is that long, printing both times. The folding stops at
// ArchiveListing::kFoldedLength characters and each character costs the same, so both stay far
// below a second however the field is made: plain accented letters, or a letter followed by a
// long run of combining marks.
#include "BenchExaminations.h"
#include "formats/ExaminationFile.h"
#include "services/ArchiveListing.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    constexpr qsizetype kFieldChars = 4 * 1024 * 1024;
    const QString fields[] = {QStringLiteral("Kovács Ödön ").repeated(kFieldChars / 12),
                              QStringLiteral("o") + QString(kFieldChars - 1, QChar(0x0301))};
    const char* const kinds[] = {"accented letters", "one letter and combining marks"};
    for (int i = 0; i < 2; ++i) {
        QElapsedTimer timer;
        timer.start();
        const QString folded = ArchiveListing::fold(fields[i]);
        std::printf("fold, %s (%lld characters): %.3f ms, %lld characters kept\n", kinds[i],
                    static_cast<long long>(fields[i].size()), timer.nsecsElapsed() / 1e6,
                    static_cast<long long>(folded.size()));
    }

    // The same as a name in a file the reader accepts (the file stays under its size limit).
    QTemporaryDir dir;
    BenchExaminations::Lcg rng(20240506);
    ExaminationData d = BenchExaminations::generate(rng, 1);
    d.personal.name = QStringLiteral("Ő").repeated(kFieldChars - 64 * 1024);
    const QString path = dir.filePath(QStringLiteral("HOSSZU.kvx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(ExaminationFile::serialize(d)) < 0) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return 2;
    }
    file.close();
    QElapsedTimer timer;
    timer.start();
    const ArchiveRow row = ArchiveListing::readRow(path, BenchExaminations::key());
    std::printf("listing row of a file with a %lld-character name: %.3f ms%s\n",
                static_cast<long long>(d.personal.name.size()), timer.nsecsElapsed() / 1e6,
                row.malformed ? " (refused by the reader)" : "");
    return 0;
}
