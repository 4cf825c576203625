#include "gui/ProgramFixture.h"

#include "formats/PasswordStore.h"
#include "gui/ModalWatch.h"
#include "gui/recording/TSzemAd.h"

#include <QAbstractButton>
#include <QPushButton>

void ProgramFixture::unlock() const {
    QTest::keyClicks(child<QLineEdit>(forms.fomenu, "Edit1"), PasswordStore::defaultPassword());
}

void ProgramFixture::selectPicture(int n) const {
    child<QAbstractButton>(forms.kepForm(), QStringLiteral("SpeedButton%1").arg(n).toLatin1().constData())->click();
}

void ProgramFixture::pressCode(int tag) const {
    QTest::mousePress(child<QWidget>(forms.jeloles(), QStringLiteral("BitBtn%1").arg(tag).toLatin1().constData()),
                      Qt::LeftButton);
}

bool ProgramFixture::runConfirmingPersonalData(const char* item, std::function<void()> fill) {
    ModalWatch watch(forms.szemAd(), [this, fill]() {
        if (fill)
            fill();
        child<QPushButton>(forms.szemAd(), "BitBtn1")->click();
    });
    trigger(item);
    return watch.seen;
}

void ProgramFixture::setField(int picture, int column, const QString& text) const {
    ScoringLine line = session.grid().scoringLine(picture);
    line.field(column) = text;
    session.grid().setScoringLine(picture, line);
}
