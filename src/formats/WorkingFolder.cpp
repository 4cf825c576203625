#include "formats/WorkingFolder.h"

#include "base/AtomicFile.h"
#include "base/Cp1250.h"
#include "base/TextFile.h"

#include <QFileInfo>

void WorkingFolder::resetAnswerFiles(const DataRoot& root) {
    AtomicFile::Batch batch(journalPath(root));
    for (int picture = 1; picture <= kPictureCount; ++picture)
        batch.stage(root.answerFile(picture), QByteArray());
    batch.commit();
}

void WorkingFolder::replaceAnswers(const DataRoot& root, const Answers& answers) {
    // All 24 or none, a power cut included: an examination half taken over would mix two
    // children's answers.
    AtomicFile::Batch batch(journalPath(root));
    for (int picture = 1; picture <= kPictureCount; ++picture)
        batch.stage(root.answerFile(picture), Cp1250::encode(answers[static_cast<size_t>(picture - 1)]));
    batch.commit();
}

WorkingFolder::Answers WorkingFolder::readAnswers(const DataRoot& root) {
    Answers answers;
    for (int picture = 1; picture <= kPictureCount; ++picture)
        answers[static_cast<size_t>(picture - 1)] = Cp1250::decode(TextFile::readBytes(root.answerFile(picture)));
    return answers;
}

QString WorkingFolder::journalPath(const DataRoot& root) {
    return root.workingFolder() + QStringLiteral("/.valaszcsere.naplo");
}

void WorkingFolder::finishInterruptedReplacement(const DataRoot& root) {
    AtomicFile::finishInterrupted(journalPath(root));
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
