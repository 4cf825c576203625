#pragma once

#include "base/DataRoot.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A throw-away data root with the folders the installation provides (gy_vkt with aktualis,
// archivum, html, help, peldatar, pictures; vkt/help; selvik/pictures and sys_pic).
class TestRoot {
public:
    TestRoot();
    DataRoot root() const { return DataRoot(m_dir.path()); }
    QString path() const { return m_dir.path(); }

    // Writes raw bytes to a path below the tavrix folder ("gy_vkt/magyar.gcr").
    void put(const QString& relative, const QByteArray& bytes) const;
    QByteArray get(const QString& relative) const;
    bool exists(const QString& relative) const;

    // A key file in the program's format: heading, then "k1,k2;" for pictures 1 to 24.
    static QByteArray sampleKey();

private:
    QTemporaryDir m_dir;
};

// Bytes of a file, or a null array when it cannot be read.
QByteArray readFileBytes(const QString& path);

// Whether this Windows program runs under Wine, where a test says what Wine does differently.
bool underWine();
