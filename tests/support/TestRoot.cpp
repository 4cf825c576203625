#include "TestRoot.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

TestRoot::TestRoot() {
    QDir dir(m_dir.path());
    for (const char* sub : {"gy_vkt/aktualis", "gy_vkt/archivum", "gy_vkt/html/irodalom", "gy_vkt/help",
                            "gy_vkt/peldatar", "gy_vkt/pictures", "vkt/help", "selvik/pictures", "selvik/sys_pic"})
        dir.mkpath(QString::fromLatin1(sub));
}

void TestRoot::put(const QString& relative, const QByteArray& bytes) const {
    const QString path = m_dir.path() + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QByteArray TestRoot::get(const QString& relative) const {
    return readFileBytes(m_dir.path() + QLatin1Char('/') + relative);
}

bool TestRoot::exists(const QString& relative) const {
    return QFileInfo::exists(m_dir.path() + QLatin1Char('/') + relative);
}

QByteArray TestRoot::sampleKey() {
    // Pictures 1-3: double, single and no key; the rest alternate so that every shape occurs.
    QByteArray key = "GCR kulcs - teszt\r\nNE,KE;\r\nEV,;\r\n,;\r\n";
    for (int picture = 4; picture <= 24; ++picture)
        key += (picture % 3 == 0)   ? QByteArray(",;\r\n")
               : (picture % 3 == 1) ? QByteArray("NE,;\r\n")
                                    : QByteArray("KE,NE;\r\n");
    return key;
}

QByteArray readFileBytes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

bool underWine() {
#ifdef Q_OS_WIN
    return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name") != nullptr;
#else
    return false;
#endif
}
