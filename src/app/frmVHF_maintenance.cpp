#include "app/frmVHF.h"

namespace orvanta {

void frmVHF::mnuAktualiesieren_Click() {}

void frmVHF::mnuSetUpdate_Datum_Click() {}

}  // namespace orvanta
