#pragma once
// The net address tab's own columns: user, password and drive letter of the project's five net
// addresses. The net addresses themselves are typed in the key rows' document column, which this view
// borrows (rows 1 ... 5, headed "Net address"): the panel fills it, checks what is typed there and
// browses for it. Every change goes into the settings at once.

#include "core/Session.h"
#include "editor/FormLayout.h"
#include "editor/KeyRowsPanel.h"

#include <QWidget>

class NetAddressPanel : public QWidget {
  Q_OBJECT

 public:
  // Builds the columns on the main frame, in the order of the form description; rows holds the number
  // and address columns.
  NetAddressPanel(Session& session, KeyRowsPanel::SetFieldText setFieldText, FormBuilder& build,
                  QWidget* mainFrame, KeyRowsPanel& rows);

  // Fills the drive lists with G ... X and shows each net address's drive.
  void FillDriveLists();
  // Shows the net addresses with user, password and drive; the key rows lend their first columns.
  void ShowNetAddresses();
  // Shows the net addresses as the settings now hold them, where a check changed them.
  void ShowChangedAddresses();
  // What the drive fields show, net address 1 first.
  std::array<QString, kNetAddressCount> DriveTexts() const;
  void NameFields();
  // Shows a checked drive letter: its list entry becomes the current one, so the drop-down opens on it,
  // and in the focused field the text is selected, so the next letter typed replaces it.
  void ShowDrive(int n, const QString& drive);

  // Handlers by net address number; rows 6 ... 9 have none.
  void TextExe_Change(int n);
  void TextExe_LostFocus(int n);
  void TextUser_Change(int n);
  void TextUser_LostFocus(int n);
  void TextPassword_Change(int n);
  void TextPassword_LostFocus(int n);
  void ComboDrive_Change(int n);
  void ComboDrive_Click(int n);
  void CommandExe_Click(int n);
  void FindFile(int n);

  // Controls, named as in the form description; rows are indexed 1 ... 9, only 1 ... 5 are ever shown.
  QGroupBox* FrameUser() const { return frameUser_; }
  QLabel* LabelUserHeader() const { return labelUserHeader_; }
  QLineEdit* TextUser(int row) const { return textUser_.at(row); }
  QGroupBox* FramePassword() const { return framePassword_; }
  QLabel* LabelPasswordHeader() const { return labelPasswordHeader_; }
  QLineEdit* TextPassword(int row) const { return textPassword_.at(row); }
  QGroupBox* FrameDrive() const { return frameDrive_; }
  QLabel* LabelDriveHeader() const { return labelDriveHeader_; }
  QComboBox* ComboDrive(int row) const { return comboDrive_.at(row); }

 private:
  static bool IsNetAddress(int row) { return row >= 1 && row <= kNetAddressCount; }

  Session& session_;
  KeyRowsPanel::SetFieldText setFieldText_;
  KeyRowsPanel& rows_;
  QGroupBox* frameUser_ = nullptr;
  QLabel* labelUserHeader_ = nullptr;
  Row<QLineEdit> textUser_{};
  QGroupBox* framePassword_ = nullptr;
  QLabel* labelPasswordHeader_ = nullptr;
  Row<QLineEdit> textPassword_{};
  QGroupBox* frameDrive_ = nullptr;
  QLabel* labelDriveHeader_ = nullptr;
  Row<QComboBox> comboDrive_{};
};
