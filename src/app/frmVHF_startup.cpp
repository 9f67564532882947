#include "app/frmVHF.h"

namespace orvanta {

void frmVHF::Form_Load() {}

void frmVHF::Form_Resize() {}

void frmVHF::Form_Activate() {}

void frmVHF::Form_Unload() {}

void frmVHF::mnuEnde_Click() {}

}  // namespace orvanta
