#pragma once

// The main window as data: every control with its kind, place, tab order, font
// and initial state, the menu tree, and the texts of both interface languages.
// The Qt window is built from this, the form's captions come from it, and the
// tests compare the real window against it.

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Window.h"

namespace orvanta {

// The names of the window and its controls and menu entries, shared by the
// form, the Qt window and the fakes.
namespace ctl {
inline constexpr std::string_view kFrmVHF = "frmVHF";
inline constexpr std::string_view kLabel1 = "Label1";
inline constexpr std::string_view kCombo1 = "Combo1";
inline constexpr std::string_view kCommand4 = "Command4";
inline constexpr std::string_view kLabel10 = "Label10";
inline constexpr std::string_view kText10 = "Text10";
inline constexpr std::string_view kCommand1 = "Command1";
inline constexpr std::string_view kCommand3 = "Command3";
inline constexpr std::string_view kCommand2 = "Command2";
inline constexpr std::string_view kLine2 = "Line2";
inline constexpr std::string_view kLine1 = "Line1";
inline constexpr std::string_view kLabel2 = "Label2";
inline constexpr std::string_view kText2 = "Text2";
inline constexpr std::string_view kLabel4 = "Label4";
inline constexpr std::string_view kText4 = "Text4";
inline constexpr std::string_view kLabel3 = "Label3";
inline constexpr std::string_view kText3 = "Text3";
inline constexpr std::string_view kLabel5 = "Label5";
inline constexpr std::string_view kText5 = "Text5";
inline constexpr std::string_view kLabel6 = "Label6";
inline constexpr std::string_view kText6 = "Text6";
inline constexpr std::string_view kLabel7 = "Label7";
inline constexpr std::string_view kText7 = "Text7";
inline constexpr std::string_view kLabel8 = "Label8";
inline constexpr std::string_view kText8 = "Text8";
inline constexpr std::string_view kLabel9 = "Label9";
inline constexpr std::string_view kText9 = "Text9";
inline constexpr std::string_view kMnuDat = "mnuDat";
inline constexpr std::string_view kMnuOpen = "mnuOpen";
inline constexpr std::string_view kMnuSuch = "mnuSuch";
inline constexpr std::string_view kMnuEnde = "mnuEnde";
inline constexpr std::string_view kMnuOpt = "mnuOpt";
inline constexpr std::string_view kMnuSprache = "mnuSprache";
inline constexpr std::string_view kMnuDeutsch = "mnuDeutsch";
inline constexpr std::string_view kMnuEnglisch = "mnuEnglisch";
inline constexpr std::string_view kMnuExtr = "mnuExtr";
inline constexpr std::string_view kMnuSetUpdate_Datum = "mnuSetUpdate_Datum";
inline constexpr std::string_view kMnuAktualiesieren = "mnuAktualiesieren";
inline constexpr std::string_view kMnuWorked = "mnuWorked";
inline constexpr std::string_view kMnuAddStation = "mnuAddStation";
inline constexpr std::string_view kMnuAddLog = "mnuAddLog";
inline constexpr std::string_view kMnuFollow = "mnuFollow";
inline constexpr std::string_view kMnuConnection = "mnuConnection";
inline constexpr std::string_view kMnuHighlight = "mnuHighlight";
inline constexpr std::string_view kMnuHelp = "mnuHelp";
inline constexpr std::string_view kMnuInfo = "mnuInfo";
}  // namespace ctl

// Window units: twips, 1/1440 inch; 15 twips are one logical pixel.
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 8232;
inline constexpr int kClientHeightTwips = 4524;
inline constexpr int kOuterHeightTwips = 5220;

enum class ControlKind { Label, ComboBox, CommandButton, TextBox, Line };

// The font a control was designed with: the window's default font (8.25 point,
// regular) unless stated otherwise.
struct FontStyle {
  double points = 8.25;
  bool bold = false;
};

inline constexpr FontStyle kDefaultFont{};

struct ControlDescription {
  std::string_view name;
  ControlKind kind;
  TwipRect geometry;
  int tabIndex;  // -1: no place in the tab order
  FontStyle font;
  std::string_view caption;  // caption before the first ApplyLanguage
  bool enabled;
  bool darkBlueText;  // the two key field boxes, Text2 and Text4
  // Lines only: drawn in the window's background colour rather than the
  // line colour (the upper half of the two-tone separator).
  bool backgroundColour;
};

// All controls, in the order they are created.
std::span<const ControlDescription> windowControls();
const ControlDescription* findControl(std::string_view name);

// The control a label hands the focus to with its access key: the one that
// follows it in the tab order. Empty for anything that is not a label.
std::string_view labelBuddy(std::string_view label);

struct MenuDescription {
  std::string_view name;
  std::string_view parent;    // empty: an entry of the menu bar
  std::string_view caption;   // German caption, shown until ApplyLanguage runs
  std::string_view shortcut;  // key sequence such as "F1", or empty
  bool hasItems;              // a menu or submenu rather than an item
};

// The menu tree from left to right and top to bottom; a parent always comes
// before its entries.
std::span<const MenuDescription> menuTree();

// A key that presses a button wherever the focus is in the window, except
// in the one control that keeps the key for itself.
struct KeyButton {
  std::string_view key;     // key sequence such as "PgDown"
  std::string_view button;  // the button it presses
  std::string_view keptBy;  // the control in which the key keeps its own meaning
};

// Page Down and Page Up step with "+" and "-"; in the database list they
// keep choosing entries.
std::span<const KeyButton> keyButtons();

struct ControlState {
  std::string name;
  bool enabled;
};

// Every control and menu entry by name with its enabled state at start.
std::vector<ControlState> initialControlStates();

enum class TextProperty { Caption, ToolTip };

struct LanguageText {
  std::string_view control;
  TextProperty property;
  std::string_view german;
  std::string_view english;
};

// Texts written whatever the database kind is.
std::span<const LanguageText> commonTexts();
// Combo1's tooltip and the field labels for a user database ("user").
std::span<const LanguageText> userDatabaseTexts();
// The same for a WSJT-X log ("log").
std::span<const LanguageText> logDatabaseTexts();

// " Orvanta für WSJT " or " Orvanta for WSJT ", then the legal notice.
std::string windowTitle(bool german);

inline constexpr std::string_view kAboutTitle = " Info";

// "1.1.1": major, minor and revision of this build.
std::string versionNumber();

// The About box text, its lines joined by newLine.
std::string aboutText(bool german, std::string_view newLine);

}  // namespace orvanta
