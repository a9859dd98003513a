// The window's fields: every change goes into the settings at once, so a tab change loses nothing; the
// "..." buttons pick files.

#include "editor/frm_Quorvel_Exe.h"

#include "core/FieldRules.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>

namespace {

QString FirstNonEmpty(std::initializer_list<QString> candidates) {
  for (const QString& candidate : candidates) {
    if (!candidate.isEmpty()) return candidate;
  }
  return {};
}

}  // namespace

void frm_Quorvel_Exe::TextExe_Change(int index) {
  DocumentationSettings& settings = session_.settings;
  const int m = SelectedMachine();
  const QString text = TextExe[index]->text();
  if (m != 0) {
    settings.Reference(m, index) = text;
    return;
  }
  if (index > kNetAddressCount) return;  // rows 6 ... 9 are not shown on the net address tab
  // Kept as typed: the file name is cut off when the editing finishes, not after the first point.
  settings.NetAddress(index) = text;
}

void frm_Quorvel_Exe::TextExe_LostFocus(int index) {
  if (SelectedMachine() != 0 || index > kNetAddressCount) return;
  // A net address names a folder: a typed or pasted file name is cut off.
  const QString folder = NetAddressFolder(TextExe[index]->text());
  if (folder != TextExe[index]->text()) SetFieldText(TextExe[index], folder);
}

void frm_Quorvel_Exe::TextSymbol_Change(int index) {
  const int m = SelectedMachine();
  if (m != 0) session_.settings.Symbol(m, index) = TextSymbol[index]->text();
}

void frm_Quorvel_Exe::TextUser_Change(int index) {
  if (index <= kNetAddressCount) session_.settings.NetUser(index) = TextUser[index]->text();
}

void frm_Quorvel_Exe::TextUser_LostFocus(int index) {
  TextUser_Change(index);
}

void frm_Quorvel_Exe::TextPassword_Change(int index) {
  if (index <= kNetAddressCount) session_.settings.NetPassword(index) = TextPassword[index]->text();
}

void frm_Quorvel_Exe::TextPassword_LostFocus(int index) {
  TextPassword_Change(index);
}

void frm_Quorvel_Exe::ComboDrive_Change(int index) {
  if (index > kNetAddressCount) return;
  const DriveCheck check = CheckDrive(ComboDrive[index]->currentText());
  if (check.fault) session_.context.port.ShowMessage(kDriveFault);
  ShowDrive(index, check.drive);
  session_.settings.NetDrive(index) = check.drive;
}

void frm_Quorvel_Exe::ShowDrive(int index, const QString& drive) {
  QComboBox* combo = ComboDrive[index];
  {
    const QSignalBlocker quiet(combo);
    const int item = combo->findText(drive);
    if (combo->currentIndex() != item) combo->setCurrentIndex(item);
    if (combo->currentText() != drive) combo->setEditText(drive);
  }
  // Only in the field being typed in: a selection shows in every field. That field keeps the window's
  // focus also while the fault message has the keyboard.
  if (focusWidget() == combo) combo->lineEdit()->selectAll();
}

void frm_Quorvel_Exe::ComboDrive_Click(int index) {
  ComboDrive_Change(index);
}

void frm_Quorvel_Exe::CommandExe_Click(int index) {
  if (SelectedMachine() != 0) {
    FindFile(index, true, false, false);
  } else {
    FindFile(index, false, false, true);
  }
}

void frm_Quorvel_Exe::CommandSymbol_Click(int index) {
  FindFile(index, false, true, false);
}

void frm_Quorvel_Exe::FindFile(int index, bool forDocument, bool forSymbol, bool forNetAddress) {
  Trap trap(session_.context.errors, QStringLiteral("FindFile"));
  DocumentationSettings& settings = session_.settings;
  const int m = SelectedMachine();
  QString title;
  QString filter;
  QString preset;
  if (forDocument && DocumentationSettings::HasSlot(m)) {
    title = QStringLiteral("Browse File Htlm / Htm / Pdf");
    filter = QStringLiteral("*.html;*.htm;*.pdf|*.html;*.htm;*.pdf");
    preset = FirstNonEmpty(
        {settings.Reference(m, index), settings.Symbol(m, index), settings.Reference(m, index - 1)});
  } else if (forSymbol && DocumentationSettings::HasSlot(m)) {
    title = QStringLiteral("Browse File Gif / Bmp");
    filter = QStringLiteral("*.gif;*.bmp|*.gif;*.bmp");
    preset = FirstNonEmpty(
        {settings.Symbol(m, index), settings.Reference(m, index), settings.Symbol(m, index - 1)});
  } else if (forNetAddress && index <= kNetAddressCount) {
    title = QStringLiteral("Browse Net Address");
    filter = QStringLiteral("*.*|*.*");
    TextExe_LostFocus(index);  // opening the dialog finishes the editing of the field
    QString& address = settings.NetAddress(index);
    if (!address.isEmpty()) {
      if (EndsInSeparator(address)) {
        address.chop(1);
        SetFieldText(TextExe[index], address);
      }
      // A Windows share keeps its backslash; a path given with slashes keeps those.
      const bool slashes = address.contains(u'/') && !address.contains(u'\\');
      preset = address + (slashes ? QStringLiteral("/*.*") : QStringLiteral("\\*.*"));
    }
  } else {
    return;
  }
  std::optional<QString> picked;
  trap.Run([&] { picked = session_.context.port.PickFile(title, filter, preset); });
  // A cancelled dialog changes nothing.
  if (!picked) return;
  if (forDocument) {
    settings.Reference(m, index) = *picked;
    SetFieldText(TextExe[index], *picked);
  } else if (forSymbol) {
    settings.Symbol(m, index) = *picked;
    SetFieldText(TextSymbol[index], *picked);
  } else {
    // The net address becomes the picked file's folder.
    settings.NetAddress(index) = NetAddressFolder(*picked);
    SetFieldText(TextExe[index], settings.NetAddress(index));
  }
}
