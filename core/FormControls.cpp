#include "core/FormControls.h"

#include "core/DocumentationSettings.h"

namespace {

const QString kNoToolTip = QStringLiteral("NoTTT");

std::vector<TextControl> DescribeForm() {
  std::vector<TextControl> controls;
  auto add = [&](const char* name, const char* className, const QString& tag, std::optional<int> index,
                 int helpId, std::optional<QString> caption = std::nullopt) {
    controls.push_back(
        {QString::fromLatin1(name), QString::fromLatin1(className), tag, index, helpId, std::move(caption)});
  };
  auto row = [&](const char* name, const char* className, const QString& tag, auto helpId,
                 std::optional<QString> caption = std::nullopt) {
    for (int i = 1; i <= kKeyCount; ++i) add(name, className, tag, i, helpId(i), caption);
  };
  auto always = [](int id) { return [id](int) { return id; }; };
  // The last text box of a column carries help id 1.
  auto textColumn = [](int id) { return [id](int i) { return i == kKeyCount ? 1 : id; }; };

  add("Header", "LABEL", {}, std::nullopt, 0, QStringLiteral("Documentation - Customer Configuration"));
  add("TabStripMachine", "TABSTRIP", kNoToolTip, std::nullopt, 0);
  add("MainFrame", "FRAME", {}, std::nullopt, 0);
  add("FrameKey", "FRAME", {}, std::nullopt, 0);
  add("LabelKeyHeader", "LABEL", kNoToolTip, std::nullopt, 0, QStringLiteral("Key"));
  for (int i = 1; i <= kKeyCount; ++i) add("LabelKeyNumber", "LABEL", kNoToolTip, i, 11, QString::number(i));
  add("FrameExe", "FRAME", {}, std::nullopt, 11);
  add("LabelExeHeader", "LABEL", kNoToolTip, std::nullopt, 0, QStringLiteral("Html / Pdf - File"));
  row("TextExe", "TEXTBOX", {}, textColumn(11));
  row("CommandExe", "COMMANDBUTTON", {}, always(11), QStringLiteral("..."));
  add("FrameSymbol", "FRAME", {}, std::nullopt, 12);
  add("LabelSymbolHeader", "LABEL", kNoToolTip, std::nullopt, 0, QStringLiteral("Symbol"));
  row("TextSymbol", "TEXTBOX", {}, textColumn(12));
  row("CommandSymbol", "COMMANDBUTTON", {}, always(12), QStringLiteral("..."));
  add("FrameUser", "FRAME", {}, std::nullopt, 0);
  add("LabelUserHeader", "LABEL", kNoToolTip, std::nullopt, 0, QStringLiteral("User"));
  row("TextUser", "TEXTBOX", {}, always(14));
  add("FramePassword", "FRAME", {}, std::nullopt, 13);
  add("LabelPasswordHeader", "LABEL", kNoToolTip, std::nullopt, 0, QStringLiteral("Password"));
  row("TextPassword", "TEXTBOX", {}, always(13));
  add("FrameDrive", "FRAME", {}, std::nullopt, 13);
  add("LabelDriveHeader", "LABEL", kNoToolTip, std::nullopt, 0, QStringLiteral("Drive"));
  row("ComboDrive", "COMBOBOX", {}, always(0));
  // Picture buttons: no caption text.
  add("CommandOK", "COMMANDBUTTON", {}, std::nullopt, 0, QString());
  add("CommandCancel", "COMMANDBUTTON", {}, std::nullopt, 0, QString());
  return controls;
}

}  // namespace

const std::vector<TextControl>& FormControls() {
  static const std::vector<TextControl> controls = DescribeForm();
  return controls;
}

int FormControlPosition(const QString& name, std::optional<int> index) {
  const std::vector<TextControl>& controls = FormControls();
  for (size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].name == name && controls[i].index == index) return static_cast<int>(i);
  }
  return -1;
}
