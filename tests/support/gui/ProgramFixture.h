#pragma once

// For GUI tests only (the test links gyvkt_gui): the program with its windows on a
// throw-away data root, the scripted platform, and the ways a test acts on it as a user would.

#include "ScriptedPlatform.h"
#include "TestRoot.h"
#include "app/BackupReminder.h"
#include "app/ExamSession.h"
#include "base/UserError.h"
#include "gui/helptexts/THelpAblak.h"
#include "gui/helptexts/TInfoKeret.h"
#include "gui/helptexts/TPeldatar.h"
#include "gui/helptexts/Tvv_instr.h"
#include "gui/marking/TJelCsere.h"
#include "gui/marking/TJeloles.h"
#include "gui/recording/TKalend.h"
#include "gui/recording/TKepForm.h"
#include "gui/recording/TSzemAd.h"
#include "gui/recording/TVV_lista.h"
#include "gui/recording/Tvalasz.h"
#include "gui/shell/Program.h"
#include "gui/shell/ProgramWindows.h"
#include "gui/shell/TAboutForm.h"
#include "gui/shell/TKevesValasz.h"
#include "gui/shell/TPwForm.h"
#include "gui/shell/Tfomenu.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include <functional>
#include <memory>

class ProgramFixture {
    std::unique_ptr<TestRoot> m_ownRoot;

public:
    // A fresh root holding the sample key; prepare() runs on it before any window exists.
    // The program is created but not started (no password read yet).
    template <typename Prepare>
    explicit ProgramFixture(Prepare prepare, const QStringList& parameters = {})
        : m_ownRoot(std::make_unique<TestRoot>()), testRoot(*m_ownRoot),
          program(create(parameters,
                         [&] {
                             m_ownRoot->put(QStringLiteral("gy_vkt/magyar.gcr"), TestRoot::sampleKey());
                             prepare(*m_ownRoot);
                         })),
          session(program->session()), forms(program->windows()) {}
    ProgramFixture() : ProgramFixture([](TestRoot&) {}) {}

    enum class Start { Now, Later };
    // A run on a root the test keeps (several runs may follow one another on it), started as
    // main() starts it, now (what start-up reported is cleared) or when the test calls
    // program->start().
    explicit ProgramFixture(const TestRoot& root, const QStringList& parameters = {}, Start start = Start::Now)
        : testRoot(root), program(create(parameters, [] {})), session(program->session()), forms(program->windows()) {
        if (start == Start::Later)
            return;
        program->start();
        platform.messages.clear();
    }

    const TestRoot& testRoot;
    ScriptedPlatform platform;
    std::unique_ptr<Program> program;
    ExamSession& session;
    ProgramWindows& forms;

    template <typename T = QWidget>
    T* child(QWidget* window, const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QAction* action(const char* name) const {
        QAction* a = forms.fomenu->findChild<QAction*>(QLatin1String(name));
        if (!a)
            qFatal("no menu item %s", name);
        return a;
    }
    void trigger(const char* name) const { action(name)->trigger(); }
    void unlock() const;
    void selectPicture(int n) const;
    void pressCode(int tag) const;
    QPlainTextEdit* answerMemo() const { return child<QPlainTextEdit>(forms.valasz(), "Memo1"); }
    // Runs a menu command that shows the personal-data window modally and confirms it; fill()
    // acts on the window first. True when the window came up.
    bool runConfirmingPersonalData(const char* item, std::function<void()> fill = {});
    // One field of a picture's ScoringLine, as a file could have put it there.
    void setField(int picture, int column, const QString& text) const;

private:
    template <typename Prepare>
    std::unique_ptr<Program> create(const QStringList& parameters, Prepare prepare) {
        // A backup made just now keeps the reminder after the password out of the tests that are
        // not about it; those that are remove the record in prepare().
        try {
            BackupReminder::recordBackup(testRoot.root());
        } catch (const UserError&) {
        }
        prepare();
        return std::make_unique<Program>(testRoot.root(), platform, parameters);
    }
};
