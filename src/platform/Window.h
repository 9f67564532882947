#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace orvanta {

enum class MousePointer { Normal, Busy };
enum class WindowState { Normal, Minimized, Maximized };

// A rectangle in twips (1/1440 inch; 15 twips are one logical pixel).
struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// The main window as the form sees it: its controls, addressed by their names
// ("Text2", "Combo1", "mnuOpen", ...), and the window itself. All positions and
// sizes are twips of the outer window frame, measured from the top-left corner
// of the virtual desktop.
class IWindow {
 public:
  virtual ~IWindow() = default;

  // Text of a text box, or the edit line of Combo1.
  [[nodiscard]] virtual std::string text(std::string_view control) const = 0;
  virtual void setText(std::string_view control, std::string_view text) = 0;

  // Caption of a label, button or menu entry ("&" marks the access key).
  [[nodiscard]] virtual std::string caption(std::string_view control) const = 0;
  virtual void setCaption(std::string_view control, std::string_view caption) = 0;

  [[nodiscard]] virtual std::string toolTip(std::string_view control) const = 0;
  virtual void setToolTip(std::string_view control, std::string_view tip) = 0;

  [[nodiscard]] virtual bool isEnabled(std::string_view control) const = 0;
  virtual void setEnabled(std::string_view control, bool enabled) = 0;

  // Check mark of a menu item.
  [[nodiscard]] virtual bool isChecked(std::string_view control) const = 0;
  virtual void setChecked(std::string_view control, bool checked) = 0;

  virtual void setFocus(std::string_view control) = 0;

  // The entries of a list control (Combo1). clearList empties entries and text.
  [[nodiscard]] virtual std::vector<std::string> listItems(std::string_view control) const = 0;
  virtual void addListItem(std::string_view control, std::string_view item) = 0;
  virtual void clearList(std::string_view control) = 0;

  [[nodiscard]] virtual std::string title() const = 0;
  virtual void setTitle(std::string_view title) = 0;

  [[nodiscard]] virtual int top() const = 0;
  [[nodiscard]] virtual int left() const = 0;
  [[nodiscard]] virtual int height() const = 0;
  virtual void setTop(int twips) = 0;
  virtual void setLeft(int twips) = 0;
  virtual void setHeight(int twips) = 0;
  [[nodiscard]] virtual WindowState state() const = 0;
  // The areas of all screens, the primary screen first.
  [[nodiscard]] virtual std::vector<TwipRect> screens() const = 0;

  virtual void setMousePointer(MousePointer pointer) = 0;
  // Language of the toolkit's own texts (message box buttons, the file
  // dialog): "de" German, anything else English.
  virtual void setToolkitLanguage(std::string_view code) = 0;
  virtual void beep() = 0;
  // Closes the window; the toolkit then reports Unload.
  virtual void close() = 0;
};

// What the window reports. The window never knows who listens; the form
// dispatches by control name.
enum class WindowEvent {
  Load,      // created, before it is first shown ("frmVHF")
  Activate,  // became the active window for the first time ("frmVHF")
  Resize,    // size changed ("frmVHF")
  Unload,    // being closed ("frmVHF")
  Click,     // button pressed, menu item chosen, text box clicked, list entry chosen
  KeyPress,  // key typed into a text box; key holds the character code (13 = Enter)
  MenuOpen,  // a menu of the menu bar is about to show its items ("mnuOpt", "mnuExtr")
};

class IWindowEvents {
 public:
  virtual ~IWindowEvents() = default;
  virtual void onWindowEvent(std::string_view control, WindowEvent event, int key) = 0;
};

}  // namespace orvanta
