#pragma once

#include <QString>

// Builds every path of the program's fixed folder tree. The tree hangs below $TAVRIX_ROOT when
// that is set, else below c:\tavrix on Windows and ~/.local/share/tavrix elsewhere.
// Nothing else in the program concatenates roots.
class DataRoot {
public:
    explicit DataRoot(QString tavrixDir);
    static DataRoot fromEnvironment();

    // The tavrix folder itself (c:\tavrix).
    const QString& tavrix() const { return m_tavrix; }
    // c:\tavrix\gy_vkt, or a path below it.
    QString gyVkt(const QString& relative = QString()) const;
    // c:\tavrix\selvik, or a path below it (the sibling program's photos).
    QString selvik(const QString& relative = QString()) const;
    // c:\tavrix\vkt, or a path below it (the fifth help chapter lives there).
    QString vkt(const QString& relative = QString()) const;

    QString workingFolder() const;                       // gy_vkt/aktualis
    QString answerFile(int picture) const;               // gy_vkt/aktualis/<n>.val
    QString archiveFolder() const;                       // gy_vkt/archivum
    QString htmlFolder() const;                          // gy_vkt/html
    QString protocolFile(const QString& code) const;     // gy_vkt/html/<code>.html
    QString profileChartFile(const QString& code) const; // gy_vkt/html/<code>_profil.png
    QString pictureFile(int picture) const;              // gy_vkt/pictures/<n>.bmp
    QString gcrKeyFile() const;                          // gy_vkt/magyar.gcr
    QString passwordStore() const;                       // gy_vkt/standard.dat
    QString examinerList() const;                        // gy_vkt/vv.txt
    QString lastBackupFile() const;                      // gy_vkt/utolso_mentes.txt
    QString institutionSettingsFile() const;             // gy_vkt/intezmeny.txt
    QString layoutFile(const QString& mode) const;       // gy_vkt/<mode>.cfg
    QString helpChapter(int chapter) const;              // gy_vkt/help/irod_<n>.txt, the fifth in vkt/help
    QString markingHelp(int code) const;                 // gy_vkt/help/help<n>.txt
    QString exampleFile(int number, int picture) const;  // gy_vkt/peldatar/<n>_<p>.txt
    QString instructionFile() const;                     // gy_vkt/help/instruk.txt
    QString photoFile(const QString& code) const;        // selvik/pictures/<code>.jpg
    QString noPhotoFile() const;                         // selvik/sys_pic/nincs.bmp

private:
    static QString join(const QString& base, const QString& relative);
    QString m_tavrix;
};
