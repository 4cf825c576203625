#include "core/session/ExamSession.h"

#include "core/evaluation/Evaluate.h"
#include "core/exam/WorkingFolder.h"

AnswerEditor::~AnswerEditor() = default;

ExamSession::ExamSession(DataRoot root, QObject* parent) : QObject(parent), m_root(std::move(root)) {}

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

void ExamSession::startNewExamination() {
    m_personal.resetKeepingCode();
    emit personalDataReplaced();
    m_grid.clearScoringLines();
    WorkingFolder::resetAnswerFiles(m_root);
    emit answersReplaced();
}

void ExamSession::load(const ExaminationData& data) {
    WorkingFolder::replaceAnswers(m_root, data.answers);
    m_personal = data.personal;
    m_grid.setScoringLines(data.lines);
    emit personalDataReplaced();
    emit answersReplaced();
}

ExaminationData ExamSession::collect() const {
    ExaminationData data;
    data.personal = m_personal;
    data.lines = coding().lines();
    data.answers = WorkingFolder::readAnswers(m_root);
    return data;
}

EvaluationResult ExamSession::evaluate() const {
    return ::evaluate(coding(), m_personal.age, m_decimalSeparator);
}
