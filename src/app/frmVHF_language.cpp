#include "app/frmVHF.h"

namespace orvanta {

void frmVHF::ApplyLanguage() {}

void frmVHF::mnuDeutsch_Click() {}

void frmVHF::mnuEnglisch_Click() {}

void frmVHF::mnuOpt_Click() {}

void frmVHF::mnuExtr_Click() {}

void frmVHF::mnuInfo_Click() {}

}  // namespace orvanta
