#pragma once

#include "gui/common/ToolWindow.h"
#include "model/Pictures.h"

#include <QString>
#include <array>

class ExamSession;
class Platform;
struct ScoreCode;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QVBoxLayout;

// The marking window: codes the answer of the current picture and shows all 24 pictures'
// coding with their GCR key and points. Every change goes to the row of the current picture.
//
//   BitBtn14, BitBtn15        "előző kérdés" / "következő kérdés": previous and next picture
//   Edit1                     the current picture's number and "."
//   StringGrid1               the marking grid (captions in row 0 and column 0)
//   GCRosszesito              "GCR érték összesen: " and the total of the GCR points
//   BitBtn1 .. BitBtn11       the eleven codes, entered on a mouse press of any button (never
//                             from the keyboard); pointing at one shows its help and examples
//   BitBtn12                  "( )": parenthesized marking, not used in this test
//   BitBtn13                  the cross: opens the deletion dialog
//   Label1                    "Kombinációk", heading of the combination labels
//   komb_1 .. komb_17         the current picture's typical combinations; pointing at one
//                             highlights it and shows its examples
//
// From the keyboard: a code's two letters (N, E for NE) enter it as a press of its button does,
// PgDown and PgUp step the pictures, Delete opens the deletion dialog.
class TJeloles : public ToolWindow {
    Q_OBJECT
public:
    TJeloles(ExamSession& session, Platform& platform, QWidget* parent = nullptr);

    // The code button (1..11) or combination label tag (12..28) pointed at last, 0 before any.
    int lastPointed() const { return m_lastPointed; }
    QString lastCombination() const { return m_lastCombination; }

    void FormActivate();
    void BitBtn1MouseDown(int tag);
    void BitBtn1MouseMove(int tag, Qt::KeyboardModifiers modifiers);
    void BitBtn12Click();
    void BitBtn12MouseMove();
    void BitBtn13Click();
    void BitBtn14Click();
    void BitBtn15Click();
    void komb_1Click();
    void komb_1MouseMove(int label, Qt::KeyboardModifiers modifiers);

    // The keyboard to the marking: the window activated, the grid focused.
    void takeKeyboard();
    bool keepsKeyboardOnPictureChange() const override { return true; }

signals:
    // The pointer came to code button 1..11: its marking help is wanted.
    void markingHelpWanted(int code);
    // The examples of a code (1..11) or combination label (12..28) at a picture are wanted;
    // a label gives its caption too.
    void examplesWanted(int number, int picture, const QString& combination);
    // The deletion dialog is to run modally with this caption; the coding has changed when
    // the signal returns.
    void deletionWanted(const QString& caption);
    // The wheel turned over a code button or a combination label: the text it chose is to
    // scroll by this angle (a positive one scrolls back).
    void markingHelpScrolled(int angleDelta);
    void examplesScrolled(int angleDelta);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildKeys();
    QLayout* buildNavigation();
    void buildGrid();
    QLayout* buildCodeButtons();
    QPushButton* makeCodeButton(const ScoreCode& code);
    void buildCombinations(QVBoxLayout* side);
    // The grid's frame, above and below or left and right.
    int gridFrame() const;
    void selectCell(int column, int row);
    void showPicture(int picture);
    void showTotal();
    void stepPicture(int by);

    ExamSession& m_session;
    Platform& m_platform;
    QPushButton* BitBtn14;
    QLineEdit* Edit1;
    QPushButton* BitBtn15;
    QTableView* StringGrid1;
    QLineEdit* GCRosszesito;
    std::array<QPushButton*, 11> m_codeButtons{};
    QPushButton* BitBtn12;
    QPushButton* BitBtn13;
    QLabel* Label1;
    std::array<QLabel*, 17> m_labels{};
    int m_lastPointed = 0;
    QString m_lastCombination;
};
