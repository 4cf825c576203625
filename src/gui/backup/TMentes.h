#pragma once

#include <QByteArray>
#include <QDialog>

#include <optional>

class Platform;
class QLineEdit;
class QPushButton;

// "Biztonsági mentés": the passphrase of a new backup, typed twice.
//
//   Label1    what the passphrase guards and how long it must be
//   Edit1     the passphrase (echo "*")
//   Edit2     the passphrase again (echo "*")
//   BitBtn1   "Mentés…": accepts when the two agree and are long enough, else says why
//   BitBtn2   "Mégse"
class TMentes : public QDialog {
    Q_OBJECT
public:
    TMentes(Platform& platform, QWidget* parent = nullptr);

    // Shows the dialog modally with empty fields: the passphrase in UTF-8, none when cancelled.
    std::optional<QByteArray> askPassphrase();

public slots:
    void BitBtn1Click();

private:
    Platform& m_platform;
    QLineEdit* Edit1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
};
