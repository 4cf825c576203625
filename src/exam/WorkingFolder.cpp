#include "exam/WorkingFolder.h"

#include "platform/TextFile.h"

#include <QFileInfo>

void WorkingFolder::resetAnswerFiles(const DataRoot& root) {
    for (int picture = 1; picture <= 24; ++picture)
        TextFile::writeBytes(root.answerFile(picture), QByteArray());
}

QString WorkingFolder::loadAnswer(const DataRoot& root, int picture) {
    const QString path = root.answerFile(picture);
    if (!QFileInfo::exists(path))
        return QString();
    return TextFile::readMemoText(path);
}

void WorkingFolder::saveAnswer(const DataRoot& root, int picture, const QString& memoText) {
    TextFile::writeMemoText(root.answerFile(picture), memoText);
}
