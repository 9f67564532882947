#include "app/frmVHF.h"
#include "records/NormalizeRecord.h"

namespace orvanta {

void frmVHF::ClearFields() {}

void frmVHF::ShowRecord(std::string& /*line*/, Encoding /*encoding*/) {}

std::vector<std::string> frmVHF::NormalizeRecord(std::string& line, const std::string& date) {
  return orvanta::NormalizeRecord(line, date, DbKind, FieldSeparator, LastFieldIndex);
}

void frmVHF::Combo1_Click() {}

void frmVHF::Text2_Click() {}

void frmVHF::Text3_Click() {}

void frmVHF::Text4_Click() {}

void frmVHF::Text5_Click() {}

void frmVHF::Text6_Click() {}

void frmVHF::Text7_Click() {}

void frmVHF::Text8_Click() {}

void frmVHF::Text9_Click() {}

}  // namespace orvanta
