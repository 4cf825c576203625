// Builds the program's default data tree: gyvkt-datagen <text folder> <tree folder> <icon file>.
// The tree is made afresh each time so that a text removed from the sources does not linger.
#include "Artwork.h"
#include "Scenes.h"
#include "TextTree.h"

#include "base/DataRoot.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/PasswordStore.h"
#include "model/Pictures.h"

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
        throw UserError(QStringLiteral("cannot encode an image as ") + QString::fromLatin1(format));
    return bytes;
}

void put(const QString& path, const QByteArray& bytes) {
    if (!QDir().mkpath(QFileInfo(path).path()))
        throw UserError::cannotCreate(QFileInfo(path).path());
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
        // The tree is laid out as the program's own data root, so its paths come from there.
        const DataRoot tree(treeDir);
        // Folders the program expects even when the installation puts nothing into them.
        for (const QString& path :
             {tree.workingFolder(), tree.archiveFolder(), tree.gyVkt(QStringLiteral("help")),
              tree.htmlFolder() + QStringLiteral("/irodalom"), tree.gyVkt(QStringLiteral("peldatar")),
              tree.gyVkt(QStringLiteral("pictures")), tree.vkt(QStringLiteral("help")),
              tree.selvik(QStringLiteral("pictures")), tree.selvik(QStringLiteral("sys_pic"))}) {
            if (!QDir().mkpath(path))
                throw UserError::cannotCreate(path);
        }

        const QStringList problems = TextTree::convertAll(textDir, treeDir);
        for (const QString& problem : problems)
            fail(problem);
        if (!problems.isEmpty())
            return 1;

        for (int n = 1; n <= kPictureCount; ++n) {
            put(tree.pictureFile(n), encodeImage(Scenes::draw(n), "bmp"));
            put(tree.answerFile(n), QByteArray());
        }
        put(tree.gyVkt(QStringLiteral("hatter.bmp")), encodeImage(Artwork::background(), "bmp"));
        put(tree.htmlFolder() + QStringLiteral("/logo.png"), encodeImage(Artwork::logo(), "png"));
        for (const QString& name : Artwork::formulaNames())
            put(tree.htmlFolder() + QLatin1Char('/') + name + QStringLiteral(".png"),
                encodeImage(Artwork::formula(name), "png"));
        put(tree.passwordStore(), PasswordStore::defaultStoreBytes());

        put(tree.noPhotoFile(), encodeImage(Artwork::noPhoto(), "bmp"));
        put(tree.photoFile(QStringLiteral("MINTA")), encodeImage(Artwork::samplePhoto(0), "jpeg", 90));
        put(tree.photoFile(QStringLiteral("PELDA")), encodeImage(Artwork::samplePhoto(1), "jpeg", 90));

        put(iconFile, encodeImage(Artwork::icon(128), "png"));
    } catch (const UserError& error) {
        fail(error.text());
        return 1;
    }
    return 0;
}
