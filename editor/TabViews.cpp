// The window's tabs: a machine's documents and symbols, or the net addresses, and the faulty field of a
// failed check.

#include "editor/frm_Quorvel_Exe.h"

#include "core/FieldRules.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QTabBar>

int frm_Quorvel_Exe::SelectedMachine() const {
  return session_.settings.MachineOfTab(TabStripMachine->currentIndex() + 1);
}

bool frm_Quorvel_Exe::NetAddressTabSelected() const {
  return TabStripMachine->count() > 0 && SelectedMachine() == 0;
}

void frm_Quorvel_Exe::TabStripMachine_Click() {
  // Leaving a tab finishes the editing of a net address.
  session_.settings.KeepNetAddressFolders();
  QWidget* focused = focusWidget();
  const int m = SelectedMachine();
  if (m != 0) {
    ShowMachineView(m);
  } else {
    ShowNetAddressView();
  }
  // A field that the new view hides hands the focus to the first field.
  if (focused && !focused->isVisibleTo(this)) TextExe[1]->setFocus();
}

void frm_Quorvel_Exe::StepTab(int step) {
  const int count = TabStripMachine->count();
  if (count > 1) TabStripMachine->setCurrentIndex((TabStripMachine->currentIndex() + step + count) % count);
}

void frm_Quorvel_Exe::ShowFaultyField(const NetAddressFault& fault) {
  int tab = TabStripMachine->count() - 1;  // the net address tab is the last
  QLineEdit* field = nullptr;
  if (fault.field == NetAddressFault::Field::Drive) {
    if (fault.row < 1 || fault.row > kNetAddressCount) return;
    field = ComboDrive[fault.row]->lineEdit();
  } else {
    const std::vector<int16_t>& tabs = session_.settings.TabMachine;
    const auto found = std::find(tabs.begin(), tabs.end(), fault.machine);
    if (found == tabs.end() || fault.row < 1 || fault.row > kKeyCount) return;
    tab = static_cast<int>(found - tabs.begin());
    field = fault.field == NetAddressFault::Field::Document ? TextExe[fault.row] : TextSymbol[fault.row];
  }
  TabStripMachine->setCurrentIndex(tab);  // its handler shows the tab's view
  PassOnProgramEnd();
  // The field that had the focus gives up its selection; a selection shows even without the focus.
  if (auto* combo = qobject_cast<QComboBox*>(focusWidget())) {
    combo->lineEdit()->deselect();
  } else if (auto* edit = qobject_cast<QLineEdit*>(focusWidget())) {
    edit->deselect();
  }
  field->setFocus();
  field->selectAll();
  scroller_->ensureWidgetVisible(field);
}

// Rows 6 to 9 belong to the machine tabs only: there are nine keys but five net addresses. Their drive
// lists are never shown.
void frm_Quorvel_Exe::ShowRowsAfterNetAddresses(bool visible) {
  for (int i = kNetAddressCount + 1; i <= kKeyCount; ++i) {
    LabelKeyNumber[i]->setVisible(visible);
    TextExe[i]->setVisible(visible);
    TextPassword[i]->setVisible(visible);
    TextUser[i]->setVisible(visible);
    CommandExe[i]->setVisible(visible);
    ComboDrive[i]->hide();
  }
}

void frm_Quorvel_Exe::ShowMachineView(int m) {
  FrameSymbol->show();
  FrameExe->show();
  FramePassword->hide();
  FrameUser->hide();
  FrameDrive->hide();
  LabelExeHeader->setText(kDocumentCaption);
  LabelKeyHeader->setText(QStringLiteral("Key"));
  ShowRowsAfterNetAddresses(true);
  const DocumentationSettings& settings = session_.settings;
  for (int i = 1; i <= kKeyCount; ++i) {
    SetFieldText(TextExe[i], settings.References[m - 1][i]);
    SetFieldText(TextSymbol[i], settings.Symbols[m - 1][i]);
  }
}

void frm_Quorvel_Exe::ShowNetAddressView() {
  FrameSymbol->hide();
  FrameExe->show();
  FramePassword->show();
  FrameUser->show();
  FrameDrive->show();
  LabelExeHeader->setText(kNetAddressCaption);
  LabelKeyHeader->setText(QStringLiteral("No."));
  ShowRowsAfterNetAddresses(false);
  const DocumentationSettings& settings = session_.settings;
  for (int i = 1; i <= kNetAddressCount; ++i) {
    SetFieldText(TextPassword[i], settings.NetPasswords[i - 1]);
    SetFieldText(TextUser[i], settings.NetUsers[i - 1]);
    SetFieldText(TextExe[i], settings.NetAddresses[i - 1]);
  }
}
