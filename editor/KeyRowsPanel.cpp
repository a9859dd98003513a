#include "editor/KeyRowsPanel.h"

#include "core/FieldRules.h"
#include "framework/ErrorTrap.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <array>
#include <utility>

namespace {

// The columns, in twips of the main frame.
constexpr int kKeyLeft = 120;
constexpr int kKeyWidth = 750;
constexpr int kExeLeft = 960;
constexpr int kSymbolLeft = 6300;
constexpr int kFileWidth = 5280;

int KeyNumberTop(int row) {
  return 600 + 675 * (row - 1);
}

QString FirstNonEmpty(std::initializer_list<QString> candidates) {
  for (const QString& candidate : candidates) {
    if (!candidate.isEmpty()) return candidate;
  }
  return {};
}

}  // namespace

KeyRowsPanel::KeyRowsPanel(Session& session, SetFieldText setFieldText, FormBuilder& build,
                           QWidget* mainFrame)
    : QWidget(mainFrame), session_(session), setFieldText_(std::move(setFieldText)) {
  setObjectName(QStringLiteral("KeyRowsPanel"));
  Place(this, kKeyLeft, kColumnTop, kSymbolLeft + kFileWidth - kKeyLeft, kColumnHeight);

  frameKey_ = build.Column(this, "FrameKey", kKeyLeft, kKeyWidth);
  labelKeyHeader_ = build.Header(frameKey_, "LabelKeyHeader", QStringLiteral("Key"), 510);
  for (int i = 1; i <= kKeyCount; ++i) {
    labelKeyNumber_[i] = build.Label(frameKey_, "LabelKeyNumber", QString::number(i), 12, true, i);
    Place(labelKeyNumber_[i], 120, KeyNumberTop(i), 510, 300);
  }

  frameExe_ = build.Column(this, "FrameExe", kExeLeft, kFileWidth);
  labelExeHeader_ = build.Header(frameExe_, "LabelExeHeader", QStringLiteral("Html / Pdf - File"), 4560);
  build.TextBoxes(textExe_, frameExe_, "TextExe", 4560, 8.25);
  build.BrowseButtons(commandExe_, frameExe_, "CommandExe");

  frameSymbol_ = build.Column(this, "FrameSymbol", kSymbolLeft, kFileWidth);
  labelSymbolHeader_ = build.Header(frameSymbol_, "LabelSymbolHeader", QStringLiteral("Symbol"), 4560);
  build.TextBoxes(textSymbol_, frameSymbol_, "TextSymbol", 4560, 8.25);
  build.BrowseButtons(commandSymbol_, frameSymbol_, "CommandSymbol");

  // The labels name their fields: each key number its row's first field, each header its column's.
  for (int i = 1; i <= kKeyCount; ++i) labelKeyNumber_[i]->setBuddy(textExe_[i]);
  labelKeyHeader_->setBuddy(textExe_[1]);
  labelExeHeader_->setBuddy(textExe_[1]);
  labelSymbolHeader_->setBuddy(textSymbol_[1]);
}

// ---- Views ----

void KeyRowsPanel::ShowRows(int count) {
  for (int i = 1; i <= kKeyCount; ++i) {
    const bool shown = i <= count;
    labelKeyNumber_[i]->setVisible(shown);
    textExe_[i]->setVisible(shown);
    commandExe_[i]->setVisible(shown);
  }
}

void KeyRowsPanel::ShowMachine(int m) {
  frameSymbol_->show();
  frameExe_->show();
  labelExeHeader_->setText(session_.windowTexts.documentHeader);
  FormBuilder::SetHeaderText(labelKeyHeader_, session_.windowTexts.keyHeader);
  ShowRows(kKeyCount);
  NameFields();
  const DocumentationSettings& settings = session_.settings;
  for (int i = 1; i <= kKeyCount; ++i) {
    setFieldText_(textExe_[i], settings.Reference(m, i));
    setFieldText_(textSymbol_[i], settings.Symbol(m, i));
  }
}

void KeyRowsPanel::ShowAsNetAddressRows(const QString& caption) {
  frameSymbol_->hide();
  frameExe_->show();
  labelExeHeader_->setText(caption);
  FormBuilder::SetHeaderText(labelKeyHeader_, session_.windowTexts.numberHeader);
  // Nine keys but five net addresses.
  ShowRows(kNetAddressCount);
  NameFields();
}

QString KeyRowsPanel::FieldName(const QLabel* header, int row, const QString& caption) const {
  QString text = header->text() + u' ' + labelKeyNumber_[row]->text();
  if (!caption.isEmpty()) text += u' ' + caption;
  return text;
}

void KeyRowsPanel::NameFields() {
  for (int i = 1; i <= kKeyCount; ++i) {
    textExe_[i]->setAccessibleName(FieldName(labelExeHeader_, i));
    commandExe_[i]->setAccessibleName(FieldName(labelExeHeader_, i, commandExe_[i]->text()));
    textSymbol_[i]->setAccessibleName(FieldName(labelSymbolHeader_, i));
    commandSymbol_[i]->setAccessibleName(FieldName(labelSymbolHeader_, i, commandSymbol_[i]->text()));
  }
  const std::array<std::pair<QGroupBox*, QLabel*>, 3> columns{
      {{frameKey_, labelKeyHeader_}, {frameExe_, labelExeHeader_}, {frameSymbol_, labelSymbolHeader_}}};
  for (const auto& [frame, header] : columns) frame->setAccessibleName(header->text());
}

// ---- Handlers ----

void KeyRowsPanel::TextExe_Change(int m, int key) {
  session_.settings.Reference(m, key) = textExe_[key]->text();
}

void KeyRowsPanel::TextSymbol_Change(int m, int key) {
  session_.settings.Symbol(m, key) = textSymbol_[key]->text();
}

void KeyRowsPanel::CommandExe_Click(int m, int key) {
  FindFile(m, key, true);
}

void KeyRowsPanel::CommandSymbol_Click(int m, int key) {
  FindFile(m, key, false);
}

void KeyRowsPanel::FindFile(int m, int key, bool forDocument) {
  if (!DocumentationSettings::HasSlot(m)) return;
  Trap trap(session_.context.errors, QStringLiteral("FindFile"));
  DocumentationSettings& settings = session_.settings;
  QString title;
  QString filter;
  QString preset;
  if (forDocument) {
    title = session_.windowTexts.browseDocument;
    filter = QStringLiteral("*.html;*.htm;*.pdf|*.html;*.htm;*.pdf");
    preset =
        FirstNonEmpty({settings.Reference(m, key), settings.Symbol(m, key), settings.Reference(m, key - 1)});
  } else {
    title = session_.windowTexts.browseSymbol;
    filter = QStringLiteral("*.gif;*.bmp|*.gif;*.bmp");
    preset =
        FirstNonEmpty({settings.Symbol(m, key), settings.Reference(m, key), settings.Symbol(m, key - 1)});
  }
  std::optional<QString> picked;
  trap.Run([&] { picked = session_.context.port.PickFile(title, filter, preset); });
  // A cancelled dialog changes nothing.
  if (!picked) return;
  if (forDocument) {
    settings.Reference(m, key) = *picked;
    setFieldText_(textExe_[key], *picked);
  } else {
    settings.Symbol(m, key) = *picked;
    setFieldText_(textSymbol_[key], *picked);
  }
}
