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

#include <algorithm>
#include <array>
#include <utility>

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
  using Field = NetAddressFault::Field;
  if (fault.field == Field::Drive || fault.field == Field::NetAddress || fault.field == Field::User ||
      fault.field == Field::Password) {
    if (fault.row < 1 || fault.row > kNetAddressCount) return;
    switch (fault.field) {
      case Field::Drive:
        field = ComboDrive[fault.row]->lineEdit();
        break;
      case Field::User:
        field = TextUser[fault.row];
        break;
      case Field::Password:
        field = TextPassword[fault.row];
        break;
      default:
        field = TextExe[fault.row];
        break;
    }
  } else {
    const std::vector<int16_t>& tabs = session_.settings.TabMachine;
    const auto found = std::find(tabs.begin(), tabs.end(), fault.machine);
    if (found == tabs.end() || fault.row < 1 || fault.row > kKeyCount) return;
    tab = static_cast<int>(found - tabs.begin());
    field = fault.field == Field::Document ? TextExe[fault.row] : TextSymbol[fault.row];
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

void frm_Quorvel_Exe::NameFields() {
  auto name = [this](QWidget* widget, const QLabel* header, int row, const QString& caption = {}) {
    QString text = header->text() + u' ' + LabelKeyNumber[row]->text();
    if (!caption.isEmpty()) text += u' ' + caption;
    widget->setAccessibleName(text);
  };
  for (int i = 1; i <= kKeyCount; ++i) {
    name(TextExe[i], LabelExeHeader, i);
    name(CommandExe[i], LabelExeHeader, i, CommandExe[i]->text());
    name(TextSymbol[i], LabelSymbolHeader, i);
    name(CommandSymbol[i], LabelSymbolHeader, i, CommandSymbol[i]->text());
    name(TextUser[i], LabelUserHeader, i);
    name(TextPassword[i], LabelPasswordHeader, i);
    name(ComboDrive[i], LabelDriveHeader, i);
    name(ComboDrive[i]->lineEdit(), LabelDriveHeader, i);
  }
  const std::array<std::pair<QGroupBox*, QLabel*>, 6> columns{{{FrameKey, LabelKeyHeader},
                                                               {FrameExe, LabelExeHeader},
                                                               {FrameSymbol, LabelSymbolHeader},
                                                               {FrameUser, LabelUserHeader},
                                                               {FramePassword, LabelPasswordHeader},
                                                               {FrameDrive, LabelDriveHeader}}};
  for (const auto& [frame, header] : columns) frame->setAccessibleName(header->text());
  // The main frame is the page of the selected tab.
  MainFrame->setAccessibleName(TabStripMachine->tabText(TabStripMachine->currentIndex()));
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
  NameFields();
  const DocumentationSettings& settings = session_.settings;
  for (int i = 1; i <= kKeyCount; ++i) {
    SetFieldText(TextExe[i], settings.Reference(m, i));
    SetFieldText(TextSymbol[i], settings.Symbol(m, i));
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
  NameFields();
  const DocumentationSettings& settings = session_.settings;
  for (int i = 1; i <= kNetAddressCount; ++i) {
    SetFieldText(TextPassword[i], settings.NetPassword(i));
    SetFieldText(TextUser[i], settings.NetUser(i));
    SetFieldText(TextExe[i], settings.NetAddress(i));
  }
}
