// The window's tabs: a machine's key rows or the net addresses, and the faulty field of a failed check.

#include "editor/frm_Quorvel_Exe.h"

#include "core/FieldRules.h"
#include "editor/KeyRowsPanel.h"
#include "editor/NetAddressPanel.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QScrollArea>
#include <QTabBar>

int frm_Quorvel_Exe::SelectedMachine() const {
  return session_.settings.MachineOfTab(tabStrip_->currentIndex() + 1);
}

bool frm_Quorvel_Exe::NetAddressTabSelected() const {
  return tabStrip_->count() > 0 && SelectedMachine() == 0;
}

void frm_Quorvel_Exe::TabStripMachine_Click() {
  // Leaving a tab finishes the editing of a net address.
  session_.settings.KeepNetAddressFolders();
  QWidget* focused = focusWidget();
  const int m = SelectedMachine();
  netAddresses_->setVisible(m == 0);
  if (m != 0) {
    keyRows_->ShowMachine(m);
  } else {
    netAddresses_->ShowNetAddresses();
  }
  mainFrame_->setAccessibleName(tabStrip_->tabText(tabStrip_->currentIndex()));
  // A field that the new view hides hands the focus to the first field.
  if (focused && !focused->isVisibleTo(this)) keyRows_->TextExe(1)->setFocus();
}

void frm_Quorvel_Exe::StepTab(int step) {
  const int count = tabStrip_->count();
  if (count > 1) tabStrip_->setCurrentIndex((tabStrip_->currentIndex() + step + count) % count);
}

void frm_Quorvel_Exe::ShowFaultyField(const NetAddressFault& fault) {
  int tab = tabStrip_->count() - 1;  // the net address tab is the last
  QLineEdit* field = nullptr;
  using Field = NetAddressFault::Field;
  if (fault.field == Field::Drive || fault.field == Field::NetAddress || fault.field == Field::User ||
      fault.field == Field::Password) {
    if (fault.row < 1 || fault.row > kNetAddressCount) return;
    switch (fault.field) {
      case Field::Drive:
        field = netAddresses_->ComboDrive(fault.row)->lineEdit();
        break;
      case Field::User:
        field = netAddresses_->TextUser(fault.row);
        break;
      case Field::Password:
        field = netAddresses_->TextPassword(fault.row);
        break;
      default:
        field = keyRows_->TextExe(fault.row);  // the net address column
        break;
    }
  } else {
    const int position = session_.settings.TabOfMachine(fault.machine);
    if (position == 0 || fault.row < 1 || fault.row > kKeyCount) return;
    tab = position - 1;
    field = fault.field == Field::Document ? keyRows_->TextExe(fault.row) : keyRows_->TextSymbol(fault.row);
  }
  tabStrip_->setCurrentIndex(tab);  // its handler shows the tab's view
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

void frm_Quorvel_Exe::NameFields() {
  keyRows_->NameFields();
  netAddresses_->NameFields();
  // The main frame is the page of the selected tab.
  mainFrame_->setAccessibleName(tabStrip_->tabText(tabStrip_->currentIndex()));
}
