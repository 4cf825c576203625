#pragma once

#include "app/Commands.h"

#include <functional>

class Tfomenu;
class Tvalasz;
class TJeloles;
class TInfoKeret;
class TPeldatar;
class TSzemAd;
class THelpAblak;
class TVV_lista;
class TKalend;
class Tvv_instr;
class TJelCsere;
class TKevesValasz;
class TKepForm;
class TAboutForm;
class TPwForm;
class TProfil;
class TArchivum;
class TMentes;
class TJegyzokonyv;
class TOsszehasonlitas;

// A window made the first time it is asked for, by the maker Program gave it, and kept until
// the program ends. A made window shows what it would have shown had it been made at start: it
// reads the examination in hand as it is made.
template <typename Window>
class LazyWindow {
public:
    void setMaker(std::function<Window*()> make) { m_make = std::move(make); }
    Window* operator()() {
        if (!m_window)
            m_window = m_make();
        return m_window;
    }
    // The window when it was made already, else null: for asking about it without making it.
    Window* made() const { return m_window; }

private:
    std::function<Window*()> m_make;
    Window* m_window = nullptr;
};

// The program's windows, one instance of each. The main window is made at start and owns the
// rest, which are made when first needed (Program makes the few whose creation is seen at start
// with it); the arrangements and the examination commands reach the windows they show through
// here.
struct ProgramWindows : CommandWindows {
    Tfomenu* fomenu = nullptr;
    LazyWindow<Tvalasz> valasz;
    LazyWindow<TJeloles> jeloles;
    LazyWindow<TInfoKeret> infoKeret;
    LazyWindow<TPeldatar> peldatar;
    LazyWindow<TSzemAd> szemAd;
    LazyWindow<THelpAblak> helpAblak;
    LazyWindow<TVV_lista> vvLista;
    LazyWindow<TKalend> kalend;
    LazyWindow<Tvv_instr> vvInstr;
    LazyWindow<TJelCsere> jelCsere;
    LazyWindow<TKevesValasz> kevesValasz;
    LazyWindow<TKepForm> kepForm;
    LazyWindow<TAboutForm> aboutForm;
    LazyWindow<TPwForm> pwForm;
    // The profile chart of "Vizsgálat" → "Profil".
    LazyWindow<TProfil> profil;
    // "File" → "Archívum…".
    LazyWindow<TArchivum> archivum;
    // The passphrase of "File" → "Biztonsági mentés…".
    LazyWindow<TMentes> mentes;
    // A protocol the desktop has no browser for.
    LazyWindow<TJegyzokonyv> jegyzokonyv;
    // The archive's "Összehasonlítás".
    LazyWindow<TOsszehasonlitas> osszehasonlitas;

    ProgramWindows() = default;
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;
    // Deletes the main window, which owns every other window.
    ~ProgramWindows() override;

    bool personalDataShown() const override;
    void showPersonalData() override;
    void showTooFewMarked(int marked) override;
    void showProtocol(const ProtocolDocument& protocol) override;
};
