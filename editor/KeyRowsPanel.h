#pragma once
// The key rows of the main frame: the key numbers, the document column and the symbol column of the
// nine documentation keys of a machine. Every change goes into the settings at once, so a tab change
// loses nothing; the "..." buttons pick files.
//
// The net address tab borrows the number column and the document column for its five rows (the form
// has one set of text boxes for both): ShowAsNetAddressRows heads them for that view, and the
// net address panel fills and reads them.

#include "core/Session.h"
#include "editor/FormLayout.h"

#include <QWidget>

#include <functional>

class KeyRowsPanel : public QWidget {
  Q_OBJECT

 public:
  // Sets a field's text as the program does: its change handler runs, a program end inside it is passed on.
  using SetFieldText = std::function<void(QLineEdit*, const QString&)>;

  // Builds the columns on the main frame, in the order of the form description.
  KeyRowsPanel(Session& session, SetFieldText setFieldText, FormBuilder& build, QWidget* mainFrame);

  // Shows machine m's nine keys: document and symbol of each.
  void ShowMachine(int m);
  // Heads the number and document columns for the net addresses (the caption is the document column's
  // header) and shows only their first five rows; the symbol column is hidden.
  void ShowAsNetAddressRows(const QString& caption);
  // Names every field and browse button for a screen reader by its column's header and its row's number.
  void NameFields();
  // The name a field of row row gets under header: the header, the row's number, a button's caption.
  QString FieldName(const QLabel* header, int row, const QString& caption = {}) const;

  // Handlers of machine m's rows, by key.
  void TextExe_Change(int m, int key);
  void TextSymbol_Change(int m, int key);
  void CommandExe_Click(int m, int key);
  void CommandSymbol_Click(int m, int key);
  void FindFile(int m, int key, bool forDocument);

  // Controls, named as in the form description; rows are indexed 1 ... 9.
  QGroupBox* FrameKey() const { return frameKey_; }
  QLabel* LabelKeyHeader() const { return labelKeyHeader_; }
  QLabel* LabelKeyNumber(int row) const { return labelKeyNumber_.at(row); }
  QGroupBox* FrameExe() const { return frameExe_; }
  QLabel* LabelExeHeader() const { return labelExeHeader_; }
  QLineEdit* TextExe(int row) const { return textExe_.at(row); }
  QPushButton* CommandExe(int row) const { return commandExe_.at(row); }
  QGroupBox* FrameSymbol() const { return frameSymbol_; }
  QLabel* LabelSymbolHeader() const { return labelSymbolHeader_; }
  QLineEdit* TextSymbol(int row) const { return textSymbol_.at(row); }
  QPushButton* CommandSymbol(int row) const { return commandSymbol_.at(row); }

 private:
  void ShowRows(int count);

  Session& session_;
  SetFieldText setFieldText_;
  QGroupBox* frameKey_ = nullptr;
  QLabel* labelKeyHeader_ = nullptr;
  Row<QLabel> labelKeyNumber_{};
  QGroupBox* frameExe_ = nullptr;
  QLabel* labelExeHeader_ = nullptr;
  Row<QLineEdit> textExe_{};
  Row<QPushButton> commandExe_{};
  QGroupBox* frameSymbol_ = nullptr;
  QLabel* labelSymbolHeader_ = nullptr;
  Row<QLineEdit> textSymbol_{};
  Row<QPushButton> commandSymbol_{};
};
