#pragma once

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
class AppState;

// The program's windows, one instance of each, created at start-up in this order and kept
// until the program ends. Windows reach one another through here.
struct Forms {
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

    Forms() = default;
    Forms(const Forms&) = delete;
    Forms& operator=(const Forms&) = delete;
    // Deletes the main window, which owns every other window.
    ~Forms();
};

// Creates the fifteen windows in their fixed order; the main window is the parent of the rest.
void createForms(AppState& state, Forms& forms);
