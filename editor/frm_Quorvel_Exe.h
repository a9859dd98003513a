#pragma once
// The editor's one window: a tab per machine that takes part in the documentation with its nine key
// rows (document and symbol), and a last tab with the project's five net addresses. It shows and edits
// the run's session; the start-up and closing sequences run outside it. The form holds the header, the
// tab strip, the main frame and OK and Cancel; the key rows panel and the net address panel on the main
// frame hold the columns of the two views.
//
// Handlers keep the names of the window's events. They may end the program (ProgramEnd); Qt enters
// them only through RunHandler, which turns a program end into an exit status instead of letting the
// exception cross Qt's event loop.
//
// Keyboard: Enter presses the focused button, elsewhere OK; Escape is Cancel; Ctrl+Tab and Ctrl+PgDn
// go to the next tab, Ctrl+Shift+Tab and Ctrl+PgUp to the previous one, the focused field keeping its
// cursor (after the text when the tab shows another value in it). A clicked tab takes the
// keyboard (Left and Right switch tabs); text typed there goes to the field last edited, at the cursor
// it was left with (after the text when the tab shows another value in it). Clicks on labels, frames
// and the background leave the keyboard where it was. The window has a fixed size
// and never opens larger than the screen can hold; scroll bars reach the rest.

#include "core/Closing.h"
#include "core/Session.h"
#include "editor/EditingPlace.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class KeyRowsPanel;
class NetAddressPanel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QTabBar;

class frm_Quorvel_Exe : public QWidget {
  Q_OBJECT

 public:
  explicit frm_Quorvel_Exe(Session& session, QWidget* parent = nullptr);
  ~frm_Quorvel_Exe() override;

  // Runs a handler: a program end inside it is recorded, the window hides and the event loop is left
  // with the status. Once the program has ended, or while the closing sequence runs, nothing runs.
  void RunHandler(const std::function<void()>& handler);
  // The status the program ended with, nullopt while it runs.
  std::optional<int> EndStatus() const { return endStatus_; }

  // Fills the window from the loaded session: language texts, tabs, drive lists, the first tab.
  void Form_Load();
  void Form_Activate();
  void Form_Resize() {}  // the layout is fixed
  // Returns true when the window is to stay open.
  bool Form_QueryUnload(int unloadMode);
  void CommandOK_Click();
  void CommandCancel_Click();

  // Tabs, and the events of the columns both views show: on a machine tab they belong to its key rows,
  // on the net address tab to the net addresses.
  void TabStripMachine_Click();
  void TextExe_Change(int index);
  void TextExe_LostFocus(int index);
  void TextSymbol_Change(int index);
  void CommandExe_Click(int index);
  void CommandSymbol_Click(int index);

  // The machine of the selected tab, 0 for the net address tab.
  int SelectedMachine() const;
  DocumentationSettings& Settings() { return session_.settings; }
  // What the net address check of OK reads from the window.
  NetAddressView View() const;
  // The controls the language texts name, in the order of the form description.
  const std::vector<QWidget*>& Controls() const { return controls_; }
  // Gives the window the size of the form, or less with scroll bars where the area cannot hold it.
  void FitInto(const QRect& available);
  // The scroll area the form lies in.
  QScrollArea* Scroller() const { return scroller_; }

  // The form's own controls, named as in the form description.
  QLabel* Header() const { return header_; }
  QTabBar* TabStripMachine() const { return tabStrip_; }
  QGroupBox* MainFrame() const { return mainFrame_; }
  QPushButton* CommandOK() const { return commandOK_; }
  QPushButton* CommandCancel() const { return commandCancel_; }
  // The columns of the main frame.
  KeyRowsPanel* KeyRows() const { return keyRows_; }
  NetAddressPanel* NetAddresses() const { return netAddresses_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void BuildControls();
  void ConnectHandlers();
  void ConnectTabKeys();
  // The field typed text goes to when the tab strip has the keyboard: the field last edited while it
  // is shown, else the first field.
  QWidget* FieldForTypedText() const;
  void SetTabOrder();
  void ApplyLanguageTexts();
  // Names every field and browse button for a screen reader by its column's header and its row's
  // number, as the view shows them ("Net address 2", "Symbol 5 ..."), and the main frame by its tab.
  void NameFields();
  // Goes step tabs on, wrapping around at either end.
  void StepTab(int step);
  // After a failed net address check: the tab of the field to correct, and the field focused.
  void ShowFaultyField(const NetAddressFault& fault);
  // Sets a field's text as the program does: its change handler runs. A program end inside that
  // handler is passed on here, outside Qt's signal delivery.
  void SetFieldText(QLineEdit* field, const QString& text);
  void PassOnProgramEnd() const;
  bool NetAddressTabSelected() const;

  Session& session_;
  QLabel* header_ = nullptr;
  QTabBar* tabStrip_ = nullptr;
  QGroupBox* mainFrame_ = nullptr;
  KeyRowsPanel* keyRows_ = nullptr;
  NetAddressPanel* netAddresses_ = nullptr;
  QPushButton* commandOK_ = nullptr;
  QPushButton* commandCancel_ = nullptr;
  std::vector<QWidget*> controls_;  // in the order of the form description
  QScrollArea* scroller_ = nullptr;
  QPointer<QWidget> lastField_;  // the text or drive field that last had the keyboard
  EditingPlace leftAt_;          // where the field that last lost the keyboard was left
  QSize fittedFrame_{-1, -1};    // the window frame FitInto last allowed for
  std::optional<int> endStatus_;
};
