#pragma once

#include <string>

namespace orvanta {

enum class MessageIcon { Information, Exclamation, Stop };
enum class MessageButtons { Ok, YesNo };
enum class MessageAnswer { Ok, Yes, No };

// Modal message box. Lines of text are joined with CR LF, as the form keeps them.
class IMessageBox {
 public:
  virtual ~IMessageBox() = default;
  virtual MessageAnswer show(const std::string& text, const std::string& title, MessageIcon icon,
                             MessageButtons buttons) = 0;
};

}  // namespace orvanta
