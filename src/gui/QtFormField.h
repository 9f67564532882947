#pragma once

// A labelled line edit in a dialog's form.

#include <QFormLayout>
#include <QLineEdit>
#include <string>
#include <string_view>

#include "gui/QtText.h"

namespace orvanta {

// Adds the row to the form; the form's widget becomes the edit's parent, and
// the edit is found again by its object name.
inline QLineEdit* addFormField(QFormLayout& form, std::string_view name, const std::string& label,
                               const std::string& text) {
  auto* field = new QLineEdit(qs(text));
  field->setObjectName(qs(name));
  form.addRow(qs(label), field);
  return field;
}

}  // namespace orvanta
