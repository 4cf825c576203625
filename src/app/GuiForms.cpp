#include "app/GuiForms.h"

#include "app/TAboutForm.h"
#include "app/TKevesValasz.h"
#include "app/TPwForm.h"
#include "app/Tfomenu.h"
#include "helptexts/THelpAblak.h"
#include "helptexts/TInfoKeret.h"
#include "helptexts/TPeldatar.h"
#include "helptexts/Tvv_instr.h"
#include "marking/TJelCsere.h"
#include "marking/TJeloles.h"
#include "recording/TKalend.h"
#include "recording/TKepForm.h"
#include "recording/TSzemAd.h"
#include "recording/TVV_lista.h"
#include "recording/Tvalasz.h"

Forms::~Forms() {
    delete fomenu;
}

void createForms(AppState& state, Forms& forms) {
    forms.fomenu = new Tfomenu(state, forms);
    forms.valasz = new Tvalasz(state, forms, forms.fomenu);
    forms.jeloles = new TJeloles(state, forms, forms.fomenu);
    forms.infoKeret = new TInfoKeret(state, forms, forms.fomenu);
    forms.peldatar = new TPeldatar(state, forms, forms.fomenu);
    forms.szemAd = new TSzemAd(state, forms, forms.fomenu);
    forms.helpAblak = new THelpAblak(state, forms, forms.fomenu);
    forms.vvLista = new TVV_lista(state, forms, forms.fomenu);
    forms.kalend = new TKalend(state, forms, forms.fomenu);
    forms.vvInstr = new Tvv_instr(state, forms, forms.fomenu);
    forms.jelCsere = new TJelCsere(state, forms, forms.fomenu);
    forms.kevesValasz = new TKevesValasz(state, forms, forms.fomenu);
    forms.kepForm = new TKepForm(state, forms, forms.fomenu);
    forms.aboutForm = new TAboutForm(state, forms, forms.fomenu);
    forms.pwForm = new TPwForm(state, forms, forms.fomenu);
}
