#pragma once

#include "app/Commands.h"

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

// The program's windows, one instance of each, created at start-up in this order and kept
// until the program ends; the main window owns the rest. The arrangements and the examination
// commands reach the windows they show through here.
struct ProgramWindows : CommandWindows {
    Tfomenu* fomenu = nullptr;
    Tvalasz* valasz = nullptr;
    TJeloles* jeloles = nullptr;
    TInfoKeret* infoKeret = nullptr;
    TPeldatar* peldatar = nullptr;
    TSzemAd* szemAd = nullptr;
    THelpAblak* helpAblak = nullptr;
    TVV_lista* vvLista = nullptr;
    TKalend* kalend = nullptr;
    Tvv_instr* vvInstr = nullptr;
    TJelCsere* jelCsere = nullptr;
    TKevesValasz* kevesValasz = nullptr;
    TKepForm* kepForm = nullptr;
    TAboutForm* aboutForm = nullptr;
    TPwForm* pwForm = nullptr;
    // Created after the fifteen: the profile chart of "Vizsgálat" → "Profil".
    TProfil* profil = nullptr;
    // Created after the fifteen: "File" → "Archívum…".
    TArchivum* archivum = nullptr;
    // Created after the fifteen: the passphrase of "File" → "Biztonsági mentés…".
    TMentes* mentes = nullptr;
    // Created after the fifteen: a protocol the desktop has no browser for.
    TJegyzokonyv* jegyzokonyv = nullptr;

    ProgramWindows() = default;
    ProgramWindows(const ProgramWindows&) = delete;
    ProgramWindows& operator=(const ProgramWindows&) = delete;
    // Deletes the main window, which owns every other window.
    ~ProgramWindows() override;

    bool personalDataShown() const override;
    void showPersonalData() override;
    void showTooFewMarked(int marked) override;
    void writeProfileChart(const QString& path, const PersonalData& personal, const EvaluationResult& result,
                           QChar decimalSeparator) override;
    void showProtocol(const ProtocolDocument& protocol) override;
};
