#include "app/ExamSession.h"

#include "base/Cp1250.h"
#include "base/TextFile.h"
#include "base/UserError.h"
#include "formats/WorkingFolder.h"
#include "model/Evaluate.h"
#include "model/GcrKey.h"

#include <QFileInfo>

AnswerEditor::~AnswerEditor() = default;

ExamSession::ExamSession(DataRoot root, QObject* parent) : QObject(parent), m_root(std::move(root)) {
    // What the last run left in the working folder is where this one starts: quitting without
    // touching it asks nothing.
    keepWhatIsInHand();
}

void ExamSession::storePendingAnswer() {
    if (m_answerEditor)
        m_answerEditor->storePendingAnswer();
}

void ExamSession::selectPicture(int picture) {
    if (!isPicture(picture))
        return;
    storePendingAnswer();
    m_currentPicture = picture;
    emit pictureSelected(picture);
}

void ExamSession::stepPicture(int by) {
    selectPicture(qBound(1, m_currentPicture + by, kPictureCount));
}

template <typename T>
void ExamSession::changePersonal(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    emit personalDataChanged();
}

void ExamSession::setCode(const QString& code) {
    changePersonal(m_personal.code, code);
}

void ExamSession::setName(const QString& name) {
    changePersonal(m_personal.name, name);
}

void ExamSession::setSex(PersonalData::Sex sex) {
    changePersonal(m_personal.sex, sex);
}

void ExamSession::setAge(qint32 age) {
    changePersonal(m_personal.age, age);
}

void ExamSession::setDate(const QString& date) {
    changePersonal(m_personal.date, date);
}

void ExamSession::setExaminer(const QString& examiner) {
    changePersonal(m_personal.examiner, examiner);
}

void ExamSession::startNewExamination() {
    m_personal.resetKeepingCode();
    emit personalDataReplaced();
    m_grid.clearScoringLines();
    WorkingFolder::resetAnswerFiles(m_root);
    emit answersReplaced();
    keepWhatIsInHand();
}

void ExamSession::load(const ExaminationData& data) {
    WorkingFolder::replaceAnswers(m_root, data.answers);
    m_personal = data.personal;
    m_grid.setScoringLines(data.lines);
    emit personalDataReplaced();
    emit answersReplaced();
    keepWhatIsInHand();
}

ExaminationData ExamSession::collect() const {
    ExaminationData data;
    data.personal = m_personal;
    data.lines = coding().lines();
    data.answers = WorkingFolder::readAnswers(m_root);
    return data;
}

void ExamSession::loadKey() {
    m_grid.setKey(GcrKey::load(m_root.gcrKeyFile()));
}

EvaluationResult ExamSession::evaluate() const {
    return ::evaluate(coding(), m_personal.age, m_decimalSeparator);
}

QByteArray ExamSession::fileBytes() const {
    ExaminationData data;
    data.personal = m_personal;
    data.lines = coding().lines();
    for (int picture = 1; picture <= kPictureCount; ++picture) {
        const QString path = m_root.answerFile(picture);
        if (QFileInfo::exists(path))
            data.answers[static_cast<size_t>(picture - 1)] = Cp1250::decode(TextFile::readBytes(path));
    }
    return ExaminationFile::serialize(data);
}

void ExamSession::keepWhatIsInHand() {
    try {
        m_keptBytes = fileBytes();
    } catch (const UserError&) {
        // Nothing to compare with: the examination counts as changed, and the question comes.
        m_keptBytes.clear();
    }
}

bool ExamSession::hasUnsavedChanges() {
    storePendingAnswer();
    try {
        return fileBytes() != m_keptBytes;
    } catch (const UserError&) {
        return true;
    }
}
