#include "editor/NetAddressPanel.h"

#include "core/FieldRules.h"
#include "editor/DriveLetterTyping.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

#include <utility>

namespace {

// The columns, in twips of the main frame.
constexpr int kUserLeft = 6300;
constexpr int kPasswordLeft = 8100;
constexpr int kDriveLeft = 9900;
constexpr int kColumnWidth = 1740;

}  // namespace

NetAddressPanel::NetAddressPanel(Session& session, KeyRowsPanel::SetFieldText setFieldText,
                                 FormBuilder& build, QWidget* mainFrame, KeyRowsPanel& rows)
    : QWidget(mainFrame), session_(session), setFieldText_(std::move(setFieldText)), rows_(rows) {
  setObjectName(QStringLiteral("NetAddressPanel"));
  Place(this, kUserLeft, kColumnTop, kDriveLeft + kColumnWidth - kUserLeft, kColumnHeight);

  frameUser_ = build.Column(this, "FrameUser", kUserLeft, kColumnWidth);
  labelUserHeader_ = build.Header(frameUser_, "LabelUserHeader", QStringLiteral("User"), 1500);
  build.TextBoxes(textUser_, frameUser_, "TextUser", 1500, 12);

  framePassword_ = build.Column(this, "FramePassword", kPasswordLeft, kColumnWidth);
  labelPasswordHeader_ =
      build.Header(framePassword_, "LabelPasswordHeader", QStringLiteral("Password"), 1500);
  build.TextBoxes(textPassword_, framePassword_, "TextPassword", 1500, 12);
  for (int i = 1; i <= kKeyCount; ++i) {
    textPassword_[i]->setEchoMode(QLineEdit::Password);
    textPassword_[i]->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }"));
  }

  frameDrive_ = build.Column(this, "FrameDrive", kDriveLeft, kColumnWidth);
  labelDriveHeader_ = build.Header(frameDrive_, "LabelDriveHeader", QStringLiteral("Drive"), 1500);
  build.DriveFields(comboDrive_, frameDrive_);
  for (int i = 1; i <= kKeyCount; ++i) DriveLetterTyping::Attach(*comboDrive_[i]);

  // The form has nine rows of each column, but there are five net addresses.
  for (int i = kNetAddressCount + 1; i <= kKeyCount; ++i) {
    textUser_[i]->hide();
    textPassword_[i]->hide();
    comboDrive_[i]->hide();
  }

  labelUserHeader_->setBuddy(textUser_[1]);
  labelPasswordHeader_->setBuddy(textPassword_[1]);
  labelDriveHeader_->setBuddy(comboDrive_[1]);
}

// ---- Views ----

void NetAddressPanel::FillDriveLists() {
  for (int n = 1; n <= kNetAddressCount; ++n) {
    {
      const QSignalBlocker quietCombo(comboDrive_[n]);
      comboDrive_[n]->addItems(DriveLetters());
    }
    ShowDrive(n, session_.settings.NetDrive(n));
  }
}

void NetAddressPanel::ShowNetAddresses() {
  rows_.ShowAsNetAddressRows(session_.windowTexts.netAddressHeader);
  NameFields();
  const DocumentationSettings& settings = session_.settings;
  for (int n = 1; n <= kNetAddressCount; ++n) {
    setFieldText_(textPassword_[n], settings.NetPassword(n));
    setFieldText_(textUser_[n], settings.NetUser(n));
    setFieldText_(rows_.TextExe(n), settings.NetAddress(n));
  }
}

void NetAddressPanel::ShowChangedAddresses() {
  for (int n = 1; n <= kNetAddressCount; ++n) {
    const QString& address = session_.settings.NetAddress(n);
    if (rows_.TextExe(n)->text() != address) setFieldText_(rows_.TextExe(n), address);
  }
}

std::array<QString, kNetAddressCount> NetAddressPanel::DriveTexts() const {
  std::array<QString, kNetAddressCount> texts;
  for (int n = 1; n <= kNetAddressCount; ++n) texts[n - 1] = comboDrive_[n]->currentText();
  return texts;
}

void NetAddressPanel::NameFields() {
  for (int i = 1; i <= kKeyCount; ++i) {
    textUser_[i]->setAccessibleName(rows_.FieldName(labelUserHeader_, i));
    textPassword_[i]->setAccessibleName(rows_.FieldName(labelPasswordHeader_, i));
    comboDrive_[i]->setAccessibleName(rows_.FieldName(labelDriveHeader_, i));
    comboDrive_[i]->lineEdit()->setAccessibleName(rows_.FieldName(labelDriveHeader_, i));
  }
  frameUser_->setAccessibleName(labelUserHeader_->text());
  framePassword_->setAccessibleName(labelPasswordHeader_->text());
  frameDrive_->setAccessibleName(labelDriveHeader_->text());
}

void NetAddressPanel::ShowDrive(int n, const QString& drive) {
  QComboBox* combo = comboDrive_[n];
  {
    const QSignalBlocker quiet(combo);
    const int item = combo->findText(drive);
    if (combo->currentIndex() != item) combo->setCurrentIndex(item);
    if (combo->currentText() != drive) combo->setEditText(drive);
  }
  // Only in the field being typed in: a selection shows in every field. That field keeps the window's
  // focus also while the fault message has the keyboard.
  if (window()->focusWidget() == combo) combo->lineEdit()->selectAll();
}

// ---- Handlers ----

void NetAddressPanel::TextExe_Change(int n) {
  // Kept as typed: the file name is cut off when the editing finishes, not after the first point.
  if (IsNetAddress(n)) session_.settings.NetAddress(n) = rows_.TextExe(n)->text();
}

void NetAddressPanel::TextExe_LostFocus(int n) {
  if (!IsNetAddress(n)) return;
  // A net address names a folder: a typed or pasted file name is cut off.
  QLineEdit* field = rows_.TextExe(n);
  const QString folder = NetAddressFolder(field->text());
  if (folder != field->text()) setFieldText_(field, folder);
}

void NetAddressPanel::TextUser_Change(int n) {
  if (IsNetAddress(n)) session_.settings.NetUser(n) = textUser_[n]->text();
}

void NetAddressPanel::TextUser_LostFocus(int n) {
  TextUser_Change(n);
}

void NetAddressPanel::TextPassword_Change(int n) {
  if (IsNetAddress(n)) session_.settings.NetPassword(n) = textPassword_[n]->text();
}

void NetAddressPanel::TextPassword_LostFocus(int n) {
  TextPassword_Change(n);
}

void NetAddressPanel::ComboDrive_Change(int n) {
  if (!IsNetAddress(n)) return;
  const DriveCheck check = CheckDrive(comboDrive_[n]->currentText());
  if (check.fault) session_.context.port.ShowMessage(session_.messages.driveFault);
  ShowDrive(n, check.drive);
  session_.settings.NetDrive(n) = check.drive;
}

void NetAddressPanel::ComboDrive_Click(int n) {
  ComboDrive_Change(n);
}

void NetAddressPanel::CommandExe_Click(int n) {
  FindFile(n);
}

void NetAddressPanel::FindFile(int n) {
  if (!IsNetAddress(n)) return;
  Trap trap(session_.context.errors, QStringLiteral("FindFile"));
  TextExe_LostFocus(n);  // opening the dialog finishes the editing of the field
  QString& address = session_.settings.NetAddress(n);
  QString preset;
  if (!address.isEmpty()) {
    if (EndsInSeparator(address)) {
      address.chop(1);
      setFieldText_(rows_.TextExe(n), address);
    }
    // A Windows share keeps its backslash; a path given with slashes keeps those.
    const bool slashes = address.contains(u'/') && !address.contains(u'\\');
    preset = address + (slashes ? QStringLiteral("/*.*") : QStringLiteral("\\*.*"));
  }
  std::optional<QString> picked;
  trap.Run([&] {
    picked = session_.context.port.PickFile(session_.windowTexts.browseNetAddress, QStringLiteral("*.*|*.*"),
                                            preset);
  });
  // A cancelled dialog changes nothing.
  if (!picked) return;
  // The net address becomes the picked file's folder.
  address = NetAddressFolder(*picked);
  setFieldText_(rows_.TextExe(n), address);
}
