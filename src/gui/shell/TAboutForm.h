#pragma once

#include <QDialog>

class DataRoot;

// About window "a program névjegye": the product's name, then the maker's name and contact
// lines from nevjegy.txt, centred. Closed by its close box only.
class TAboutForm : public QDialog {
    Q_OBJECT
public:
    explicit TAboutForm(const DataRoot& root, QWidget* parent = nullptr);

    // The lines shown: nevjegy.txt, or the built-in product and maker lines without it.
    static QStringList aboutLines(const QString& path);

protected:
    void showEvent(QShowEvent* event) override;
};
