// The window's events and the handlers they reach: each through the boundary of RunHandler. The columns
// only one view shows go to their panel; the number and document columns, which both views show, go to
// the key rows on a machine tab and to the net addresses on the net address tab.

#include "editor/frm_Quorvel_Exe.h"

#include "core/FieldRules.h"
#include "editor/KeyRowsPanel.h"
#include "editor/NetAddressPanel.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

void frm_Quorvel_Exe::ConnectHandlers() {
  auto on = [this](auto* target, auto member, int index) {
    return [this, target, member, index] { RunHandler([&] { (target->*member)(index); }); };
  };
  KeyRowsPanel* keys = keyRows_;
  NetAddressPanel* net = netAddresses_;
  for (int i = 1; i <= kKeyCount; ++i) {
    connect(keys->TextExe(i), &QLineEdit::textChanged, this, on(this, &frm_Quorvel_Exe::TextExe_Change, i));
    connect(keys->TextExe(i), &QLineEdit::editingFinished, this,
            on(this, &frm_Quorvel_Exe::TextExe_LostFocus, i));
    connect(keys->TextSymbol(i), &QLineEdit::textChanged, this,
            on(this, &frm_Quorvel_Exe::TextSymbol_Change, i));
    connect(keys->CommandExe(i), &QPushButton::clicked, this,
            on(this, &frm_Quorvel_Exe::CommandExe_Click, i));
    connect(keys->CommandSymbol(i), &QPushButton::clicked, this,
            on(this, &frm_Quorvel_Exe::CommandSymbol_Click, i));
    connect(net->TextUser(i), &QLineEdit::textChanged, this, on(net, &NetAddressPanel::TextUser_Change, i));
    connect(net->TextUser(i), &QLineEdit::editingFinished, this,
            on(net, &NetAddressPanel::TextUser_LostFocus, i));
    connect(net->TextPassword(i), &QLineEdit::textChanged, this,
            on(net, &NetAddressPanel::TextPassword_Change, i));
    connect(net->TextPassword(i), &QLineEdit::editingFinished, this,
            on(net, &NetAddressPanel::TextPassword_LostFocus, i));
    connect(net->ComboDrive(i), &QComboBox::editTextChanged, this,
            on(net, &NetAddressPanel::ComboDrive_Change, i));
    connect(net->ComboDrive(i), &QComboBox::activated, this, on(net, &NetAddressPanel::ComboDrive_Click, i));
  }
  // After the refused change is undone, not inside the field's editing.
  auto tooLong = [this] {
    QMetaObject::invokeMethod(
        this,
        [this] { RunHandler([this] { session_.context.port.ShowMessage(session_.messages.valueTooLong); }); },
        Qt::QueuedConnection);
  };
  for (int i = 1; i <= kKeyCount; ++i) {
    for (QLineEdit* field : {keys->TextExe(i), keys->TextSymbol(i), net->TextUser(i), net->TextPassword(i)}) {
      connect(field, &QLineEdit::inputRejected, this, tooLong);
    }
  }
  connect(tabStrip_, &QTabBar::currentChanged, this,
          [this] { RunHandler([this] { TabStripMachine_Click(); }); });
  connect(commandOK_, &QPushButton::clicked, this, [this] { RunHandler([this] { CommandOK_Click(); }); });
  connect(commandCancel_, &QPushButton::clicked, this,
          [this] { RunHandler([this] { CommandCancel_Click(); }); });
}

void frm_Quorvel_Exe::TextExe_Change(int index) {
  const int m = SelectedMachine();
  if (m != 0) {
    keyRows_->TextExe_Change(m, index);
  } else {
    netAddresses_->TextExe_Change(index);
  }
}

void frm_Quorvel_Exe::TextExe_LostFocus(int index) {
  if (SelectedMachine() == 0) netAddresses_->TextExe_LostFocus(index);
}

void frm_Quorvel_Exe::TextSymbol_Change(int index) {
  const int m = SelectedMachine();
  if (m != 0) keyRows_->TextSymbol_Change(m, index);
}

void frm_Quorvel_Exe::CommandExe_Click(int index) {
  const int m = SelectedMachine();
  if (m != 0) {
    keyRows_->CommandExe_Click(m, index);
  } else {
    netAddresses_->CommandExe_Click(index);
  }
}

void frm_Quorvel_Exe::CommandSymbol_Click(int index) {
  keyRows_->CommandSymbol_Click(SelectedMachine(), index);
}
