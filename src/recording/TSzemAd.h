#pragma once

#include <QDialog>

class AppState;
struct PersonalData;
struct Forms;

// Gyermek VKT személyi adatok: not yet filled in.
class TSzemAd : public QDialog {
    Q_OBJECT
public:
    TSzemAd(AppState& state, Forms& forms, QWidget* parent = nullptr);

    void showPersonalData(const PersonalData& data);
    void resetForNewExamination();

private:
    AppState& m_state;
    Forms& m_forms;
};
