// Builds the program's default data tree: gyvkt-datagen <text folder> <tree folder> <icon file>.
// The tree is made afresh each time so that a text removed from the sources does not linger.
#include "Artwork.h"
#include "Scenes.h"
#include "TextTree.h"

#include "app/PasswordStore.h"
#include "platform/FileError.h"
#include "platform/TextFile.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>

#include <cstdio>

namespace {

QByteArray encodeImage(const QImage& image, const char* format, int quality = -1) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    if (image.isNull() || !writer.write(image))
        throw FileError(QStringLiteral("cannot encode an image as ") + QString::fromLatin1(format));
    return bytes;
}

void put(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw FileError::cannotCreate(QFileInfo(path).path());
    TextFile::writeBytes(path, bytes);
}

void fail(const QString& text) {
    std::fprintf(stderr, "gyvkt-datagen: %s\n", text.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        fail(QStringLiteral("usage: gyvkt-datagen <text folder> <tree folder> <icon file>"));
        return 2;
    }
    const QString textDir = args.at(1);
    const QString treeDir = args.at(2);
    const QString iconFile = args.at(3);

    try {
        QDir(treeDir).removeRecursively();
        // Folders the program expects even when the installation puts nothing into them.
        for (const char* folder :
             {"gy_vkt/aktualis", "gy_vkt/archivum", "gy_vkt/help", "gy_vkt/html/irodalom", "gy_vkt/peldatar",
              "gy_vkt/pictures", "vkt/help", "selvik/pictures", "selvik/sys_pic"}) {
            const QString path = treeDir + QLatin1Char('/') + QString::fromLatin1(folder);
            if (!QDir().mkpath(path))
                throw FileError::cannotCreate(path);
        }

        const QStringList problems = TextTree::convertAll(textDir, treeDir);
        for (const QString& problem : problems)
            fail(problem);
        if (!problems.isEmpty())
            return 1;

        const QString gy = treeDir + QStringLiteral("/gy_vkt/");
        for (int n = 1; n <= Scenes::kCount; ++n) {
            put(gy + QStringLiteral("pictures/") + QString::number(n) + QStringLiteral(".bmp"),
                encodeImage(Scenes::draw(n), "bmp"));
            put(gy + QStringLiteral("aktualis/") + QString::number(n) + QStringLiteral(".val"), QByteArray());
        }
        put(gy + QStringLiteral("hatter.bmp"), encodeImage(Artwork::background(), "bmp"));
        put(gy + QStringLiteral("html/logo.png"), encodeImage(Artwork::logo(), "png"));
        for (const QString& name : Artwork::formulaNames())
            put(gy + QStringLiteral("html/") + name + QStringLiteral(".png"),
                encodeImage(Artwork::formula(name), "png"));
        put(gy + QStringLiteral("standard.dat"), PasswordStore::defaultStoreBytes());

        const QString selvik = treeDir + QStringLiteral("/selvik/");
        put(selvik + QStringLiteral("sys_pic/nincs.bmp"), encodeImage(Artwork::noPhoto(), "bmp"));
        put(selvik + QStringLiteral("pictures/MINTA.jpg"), encodeImage(Artwork::samplePhoto(0), "jpeg", 90));
        put(selvik + QStringLiteral("pictures/PELDA.jpg"), encodeImage(Artwork::samplePhoto(1), "jpeg", 90));

        put(iconFile, encodeImage(Artwork::icon(128), "png"));
    } catch (const FileError& error) {
        fail(error.text());
        return 1;
    }
    return 0;
}
