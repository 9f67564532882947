#include "app/frmVHF.h"

namespace orvanta {

void frmVHF::Command1_Click() {}

void frmVHF::Command2_Click() {}

void frmVHF::Command3_Click() {}

void frmVHF::Text10_KeyPress(int& /*KeyAscii*/) {}

void frmVHF::mnuSuch_Click() {}

void frmVHF::Command4_Click() {}

void frmVHF::mnuOpen_Click() {}

}  // namespace orvanta
