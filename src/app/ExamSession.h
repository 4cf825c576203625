#pragma once

#include "base/DataRoot.h"
#include "formats/ExaminationFile.h"
#include "model/EvaluationResult.h"
#include "model/MarkingGrid.h"
#include "model/PersonalData.h"

#include <QObject>

// Whatever holds an answer being typed that has not reached its answer file yet.
class AnswerEditor {
public:
    virtual ~AnswerEditor();
    // Writes the pending answer to its file; raises UserError when it cannot (the text stays).
    virtual void storePendingAnswer() = 0;
};

// The examination in hand and the state that goes with it: the personal data, the coding
// (presented by the marking grid), the answers in the working folder, the picture the windows
// stand on, the chosen arrangement and the program password. Windows read and change it and
// learn from its signals what another part changed; none of them keeps a copy.
class ExamSession : public QObject {
    Q_OBJECT
public:
    explicit ExamSession(DataRoot root, QObject* parent = nullptr);

    const DataRoot& root() const { return m_root; }

    const PersonalData& personal() const { return m_personal; }
    // The personal-data window writes each field here as it changes; a value that differs from
    // the one held is announced with personalDataChanged(), an equal one changes nothing.
    void setCode(const QString& code);
    void setName(const QString& name);
    void setSex(PersonalData::Sex sex);
    void setAge(qint32 age);
    void setDate(const QString& date);
    void setExaminer(const QString& examiner);
    MarkingGrid& grid() { return m_grid; }
    const MarkingGrid& grid() const { return m_grid; }
    const Coding& coding() const { return m_grid.coding(); }
    // The GCR key every coding of this session is made under: the data root's key file, read
    // once at start-up. Raises UserError when it cannot be read; marking then goes on without a
    // key and every picture scores "0.0".
    void loadKey();
    const GcrKey& key() const { return coding().key(); }

    int currentPicture() const { return m_currentPicture; }
    const QString& layoutMode() const { return m_layoutMode; }
    void setLayoutMode(const QString& mode) { m_layoutMode = mode; }
    const QString& programPassword() const { return m_programPassword; }
    void setProgramPassword(const QString& password) { m_programPassword = password; }
    QChar decimalSeparator() const { return m_decimalSeparator; }
    void setDecimalSeparator(QChar separator) { m_decimalSeparator = separator; }

    void setAnswerEditor(AnswerEditor* editor) { m_answerEditor = editor; }
    // The answer being typed goes to its file first; raises UserError when it cannot.
    void storePendingAnswer();
    // Makes picture 1..24 the current one, after storing the pending answer. When that fails
    // the error is raised and the old picture stays current.
    void selectPicture(int picture);
    // The same for the picture `by` places on from the current one, within 1..24.
    void stepPicture(int by);

    // Personal data back to its start values (the code kept), every ScoringLine emptied, the
    // 24 answer files emptied. When the answer files cannot be written, UserError is raised
    // and they stay as they were; the personal data and the coding are reset already.
    void startNewExamination();
    // Takes over a whole examination read from a file: its answers into the working folder
    // first, then its personal data and coding. When the answers cannot be written, UserError
    // is raised and nothing has changed.
    void load(const ExaminationData& data);
    // The examination as a file would hold it, the answers read from the working folder.
    ExaminationData collect() const;

    // Whether the examination in hand differs from the one last saved, opened or started anew
    // (at start-up: blank personal data and coding with the answers the working folder holds),
    // compared as their files would hold them, so no window has to remember to say that it
    // changed something. The answer being typed is stored first; raises UserError when it cannot
    // be. An answer file that cannot be read counts as a difference.
    bool hasUnsavedChanges();
    // The examination in hand has just been saved as these bytes.
    void markSaved(const QByteArray& fileBytes) { m_keptBytes = fileBytes; }

    // The evaluation of the examination as it stands now.
    EvaluationResult evaluate() const;

signals:
    // A whole examination's personal data took the place of the old ones (new, opened).
    void personalDataReplaced();
    // One field of the personal data was set to a different value.
    void personalDataChanged();
    void answersReplaced();
    void pictureSelected(int picture);

private:
    DataRoot m_root;
    PersonalData m_personal;
    MarkingGrid m_grid;
    int m_currentPicture = 1;
    QString m_layoutMode;
    QString m_programPassword;
    QChar m_decimalSeparator = QLatin1Char(',');
    AnswerEditor* m_answerEditor = nullptr;
    // The file bytes of the examination last saved, opened or started anew.
    QByteArray m_keptBytes;

    // The examination in hand as its file's bytes; an answer file not there is an empty answer.
    // Raises UserError when an answer file cannot be read.
    QByteArray fileBytes() const;
    template <typename T>
    void changePersonal(T& field, const T& value);
    void keepWhatIsInHand();
};
