#include "base/DataRoot.h"

#include <QDir>
#include <QStandardPaths>

DataRoot::DataRoot(QString tavrixDir) : m_tavrix(QDir::cleanPath(std::move(tavrixDir))) {}

DataRoot DataRoot::fromEnvironment() {
    const QString env = qEnvironmentVariable("TAVRIX_ROOT");
    if (!env.isEmpty())
        return DataRoot(env);
#ifdef Q_OS_WIN
    return DataRoot(QStringLiteral("c:/tavrix"));
#else
    return DataRoot(QDir::homePath() + QStringLiteral("/.local/share/tavrix"));
#endif
}

QString DataRoot::join(const QString& base, const QString& relative) {
    if (relative.isEmpty())
        return base;
    return base + QLatin1Char('/') + relative;
}

QString DataRoot::gyVkt(const QString& relative) const {
    return join(m_tavrix + QStringLiteral("/gy_vkt"), relative);
}
QString DataRoot::selvik(const QString& relative) const {
    return join(m_tavrix + QStringLiteral("/selvik"), relative);
}
QString DataRoot::vkt(const QString& relative) const {
    return join(m_tavrix + QStringLiteral("/vkt"), relative);
}

QString DataRoot::workingFolder() const {
    return gyVkt(QStringLiteral("aktualis"));
}
QString DataRoot::answerFile(int picture) const {
    return gyVkt(QStringLiteral("aktualis/") + QString::number(picture) + QStringLiteral(".val"));
}
QString DataRoot::archiveFolder() const {
    return gyVkt(QStringLiteral("archivum"));
}
QString DataRoot::htmlFolder() const {
    return gyVkt(QStringLiteral("html"));
}
QString DataRoot::protocolFile(const QString& code) const {
    return gyVkt(QStringLiteral("html/") + code + QStringLiteral(".html"));
}
QString DataRoot::profileChartFile(const QString& code) const {
    return gyVkt(QStringLiteral("html/") + code + QStringLiteral("_profil.png"));
}
QString DataRoot::pictureFile(int picture) const {
    return gyVkt(QStringLiteral("pictures/") + QString::number(picture) + QStringLiteral(".bmp"));
}
QString DataRoot::gcrKeyFile() const {
    return gyVkt(QStringLiteral("magyar.gcr"));
}
QString DataRoot::passwordStore() const {
    return gyVkt(QStringLiteral("standard.dat"));
}
QString DataRoot::examinerList() const {
    return gyVkt(QStringLiteral("vv.txt"));
}
QString DataRoot::lastBackupFile() const {
    return gyVkt(QStringLiteral("utolso_mentes.txt"));
}
QString DataRoot::institutionSettingsFile() const {
    return gyVkt(QStringLiteral("intezmeny.txt"));
}
QString DataRoot::layoutFile(const QString& mode) const {
    return gyVkt(mode + QStringLiteral(".cfg"));
}
QString DataRoot::helpChapter(int chapter) const {
    const QString name = QStringLiteral("help/irod_") + QString::number(chapter) + QStringLiteral(".txt");
    return chapter == 5 ? vkt(name) : gyVkt(name);
}
QString DataRoot::markingHelp(int code) const {
    return gyVkt(QStringLiteral("help/help") + QString::number(code) + QStringLiteral(".txt"));
}
QString DataRoot::exampleFile(int number, int picture) const {
    return gyVkt(QStringLiteral("peldatar/") + QString::number(number) + QLatin1Char('_') + QString::number(picture) +
                 QStringLiteral(".txt"));
}
QString DataRoot::instructionFile() const {
    return gyVkt(QStringLiteral("help/instruk.txt"));
}
QString DataRoot::photoFile(const QString& code) const {
    return selvik(QStringLiteral("pictures/") + code + QStringLiteral(".jpg"));
}
QString DataRoot::noPhotoFile() const {
    return selvik(QStringLiteral("sys_pic/nincs.bmp"));
}
