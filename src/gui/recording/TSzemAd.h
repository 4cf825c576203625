#pragma once

#include "gui/common/Widgets.h"

#include <QComboBox>
#include <QDialog>
#include <QStringList>
#include <optional>

class ExamSession;
class Platform;
struct PersonalData;
class QGridLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QRadioButton;
class QTimer;
class QToolButton;

// The overwrite lamp: a small square or circle in one colour.
class TShape : public QWidget {
    Q_OBJECT
public:
    enum class Form { Square, Circle };
    explicit TShape(QWidget* parent = nullptr);
    Form form() const { return m_form; }
    QColor colour() const { return m_colour; }
    void setLook(Form form, const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Form m_form = Form::Square;
    QColor m_colour;
};

// A pair of arrows that steps a number between two bounds, without wrapping.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    TUpDown(int minimum, int maximum, int position, QWidget* parent = nullptr);
    int position() const { return m_position; }
    // Moves the position without announcing it; a value outside the bounds is kept, so that
    // the arrows step on from what the field shows.
    void setPosition(int position);

public slots:
    void stepUp();
    void stepDown();

signals:
    void positionChanged(int position);

private:
    void step(int by);
    int m_minimum;
    int m_maximum;
    int m_position;
    QToolButton* m_up;
    QToolButton* m_down;
};

// An editable combo box that announces when its list is about to drop down.
class TDropDownCombo : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;
signals:
    void dropDown();
};

// "Gyermek VKT személyi adatok": the subject's personal data, kept in the shared state as it
// is typed (the sex on "rendben").
//
//   Edit1        name                           Edit4      code, upper-cased as typed
//   Shape1       overwrite lamp beside the code RadioButton1/2  "fiú" / "lány" in GroupBox1 "Neme"
//   Edit2        age: digits, or Up and Down, which step it as UpDown1 does from 7 to 14
//   Edit3        examination date; a click when empty or a double click opens the calendar
//   ComboBox1    examiner; its list comes from vv.txt, a double click opens the list editor
//   Image1       the subject's photo in Bevel1  BitBtn1 "rendben", BitBtn2 "&súgó"
//   Timer1       100 ms: blinks the lamp and the warning caption
class TSzemAd : public QDialog {
    Q_OBJECT
public:
    TSzemAd(ExamSession& session, Platform& platform, QWidget* parent = nullptr);

    // Puts an examination's data into every control; the change handlers store it.
    void showPersonalData(const PersonalData& data);
    // Where the calendar writes the picked date.
    void setExaminationDate(const QString& text);

    static QString normalCaption();
    static QString warningCaption(const QString& code);

public slots:
    void Edit1Change();
    void Edit4Change();
    void Edit2Change();
    void Edit3Change();
    void ComboBox1Change();
    void UpDown1Changing(int position);
    void BitBtn1Click();
    void Timer1Timer();
    void FormActivate();
    void Edit3Click();
    void Edit3DblClick();
    void ComboBox1DropDown();
    void Button1Click();

    // No cancel: the window is left through "rendben" only.
    void reject() override;

signals:
    // The date field asks for the calendar, which answers through setExaminationDate().
    void calendarWanted();
    // A double click into the examiner field: the editor of the examiner list.
    void examinerListWanted();
    // "súgó": the help on the personal data.
    void helpWanted();

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void buildNameAndCode(QGridLayout* grid);
    void buildSexAndAge(QGridLayout* grid);
    void buildDateAndExaminer(QGridLayout* grid);
    QWidget* buildPhoto();
    QLayout* buildButtons();
    void upperCaseCode();
    void showPhoto(const QString& code);
    bool loadPicture(const QString& path);
    void runDateRequest();

    enum class DateRequest { None, Click, DoubleClick };
    DateRequest m_dateRequest = DateRequest::None;
    OwnActivation m_activation;

    ExamSession& m_session;
    Platform& m_platform;

    std::optional<QStringList> m_archiveFiles; // read once per run
    QStringList m_archiveCodes;

    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit4 = nullptr;
    TShape* Shape1 = nullptr;
    QRadioButton* RadioButton1 = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QLineEdit* Edit2 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLineEdit* Edit3 = nullptr;
    TDropDownCombo* ComboBox1 = nullptr;
    QLabel* Image1 = nullptr;
    QTimer* Timer1 = nullptr;
};
