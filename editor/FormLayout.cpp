// The window's controls: places and sizes of the form description (in twips, 15 to a pixel), its bold
// sans-serif texts, the two picture buttons, the tab order and the description of the controls that
// the language texts work on.

#include "editor/frm_Quorvel_Exe.h"

#include "texts/ToolTipTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>

namespace {

constexpr double kTwipsPerPixel = 15.0;
const QString kNoToolTip = QStringLiteral("NoTTT");

int Px(int twips) {
  return qRound(twips / kTwipsPerPixel);
}

// Left, top, width and height in twips; right and bottom edges are rounded so neighbours stay aligned.
void Place(QWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(Px(left), Px(top), Px(left + width) - Px(left), Px(top + height) - Px(top));
}

QFont FormFont(double points) {
  QFont font(QStringLiteral("MS Sans Serif"));
  font.setStyleHint(QFont::SansSerif);
  font.setBold(true);
  font.setPointSizeF(points);
  return font;
}

int RowTop(int row) {
  return 540 + 675 * (row - 1);
}
int KeyNumberTop(int row) {
  return 600 + 675 * (row - 1);
}

QString ClassNameOf(const QWidget* widget) {
  if (qobject_cast<const QLabel*>(widget)) return QStringLiteral("LABEL");
  if (qobject_cast<const QCheckBox*>(widget)) return QStringLiteral("CHECKBOX");
  if (qobject_cast<const QPushButton*>(widget)) return QStringLiteral("COMMANDBUTTON");
  if (qobject_cast<const QLineEdit*>(widget)) return QStringLiteral("TEXTBOX");
  if (qobject_cast<const QComboBox*>(widget)) return QStringLiteral("COMBOBOX");
  if (qobject_cast<const QTabBar*>(widget)) return QStringLiteral("TABSTRIP");
  if (qobject_cast<const QGroupBox*>(widget)) return QStringLiteral("FRAME");
  return QString::fromLatin1(widget->metaObject()->className()).toUpper();
}

}  // namespace

void frm_Quorvel_Exe::BuildControls() {
  setFont(FormFont(8.25));
  const QSize client(Px(11910), Px(8625));
  resize(client);

  // Registers a control under its name (arrays: one name, an index each), with tag and help id.
  auto describe = [this](QWidget* widget, const char* name, std::optional<int> index, const QString& tag,
                         int helpId) {
    widget->setObjectName(QString::fromLatin1(name));
    if (index) widget->setProperty("Index", *index);
    widget->setProperty("Tag", tag);
    widget->setProperty("HelpId", helpId);
    controls_.push_back(widget);
  };
  auto label = [&](QWidget* parent, const QString& caption, double points, bool centred) {
    auto* l = new QLabel(caption, parent);
    l->setFont(FormFont(points));
    if (centred) l->setAlignment(Qt::AlignCenter);
    return l;
  };
  auto frame = [&](QWidget* parent) {
    auto* f = new QGroupBox(parent);
    f->setFlat(false);
    return f;
  };
  auto textBox = [&](QWidget* parent, double points) {
    auto* t = new QLineEdit(parent);
    t->setFont(FormFont(points));
    return t;
  };
  auto browseButton = [&](QWidget* parent) {
    auto* b = new QPushButton(QStringLiteral("..."), parent);
    b->setFont(FormFont(12));
    return b;
  };

  Header = label(this, QStringLiteral("Documentation - Customer Configuration"), 13.5, false);
  Place(Header, 30, 30, 7245, 360);
  describe(Header, "Header", std::nullopt, {}, 0);

  // The tab strip: the row of tabs, and below it the page on which MainFrame lies.
  TabStripMachine = new QTabBar(this);
  TabStripMachine->setFont(FormFont(12));
  TabStripMachine->setExpanding(false);
  TabStripMachine->setDrawBase(false);
  Place(TabStripMachine, 0, 390, 11880, 420);
  describe(TabStripMachine, "TabStripMachine", std::nullopt, kNoToolTip, 0);
  auto* page = new QFrame(this);
  page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  Place(page, 0, 390 + 405, 11880, 7260 - 405);
  page->lower();

  MainFrame = frame(this);
  Place(MainFrame, 120, 810, 11700, 6720);
  describe(MainFrame, "MainFrame", std::nullopt, {}, 0);

  FrameKey = frame(MainFrame);
  Place(FrameKey, 120, 150, 750, 6450);
  describe(FrameKey, "FrameKey", std::nullopt, {}, 0);
  LabelKeyHeader = label(FrameKey, QStringLiteral("Key"), 12, true);
  Place(LabelKeyHeader, 120, 150, 510, 300);
  describe(LabelKeyHeader, "LabelKeyHeader", std::nullopt, kNoToolTip, 0);
  for (int i = 1; i <= kKeyCount; ++i) {
    LabelKeyNumber[i] = label(FrameKey, QString::number(i), 12, true);
    Place(LabelKeyNumber[i], 120, KeyNumberTop(i), 510, 300);
    describe(LabelKeyNumber[i], "LabelKeyNumber", i, kNoToolTip, 11);
  }

  FrameExe = frame(MainFrame);
  Place(FrameExe, 960, 150, 5280, 6450);
  describe(FrameExe, "FrameExe", std::nullopt, {}, 11);
  LabelExeHeader = label(FrameExe, QStringLiteral("Html / Pdf - File"), 12, true);
  Place(LabelExeHeader, 120, 150, 4560, 300);
  describe(LabelExeHeader, "LabelExeHeader", std::nullopt, kNoToolTip, 0);
  for (int i = 1; i <= kKeyCount; ++i) {
    TextExe[i] = textBox(FrameExe, 8.25);
    Place(TextExe[i], 120, RowTop(i), 4560, 420);
    describe(TextExe[i], "TextExe", i, {}, i == kKeyCount ? 1 : 11);
  }
  for (int i = 1; i <= kKeyCount; ++i) {
    CommandExe[i] = browseButton(FrameExe);
    Place(CommandExe[i], 4770, RowTop(i), 420, 420);
    describe(CommandExe[i], "CommandExe", i, {}, 11);
  }

  FrameSymbol = frame(MainFrame);
  Place(FrameSymbol, 6300, 150, 5280, 6450);
  describe(FrameSymbol, "FrameSymbol", std::nullopt, {}, 12);
  LabelSymbolHeader = label(FrameSymbol, QStringLiteral("Symbol"), 12, true);
  Place(LabelSymbolHeader, 120, 150, 4560, 300);
  describe(LabelSymbolHeader, "LabelSymbolHeader", std::nullopt, kNoToolTip, 0);
  for (int i = 1; i <= kKeyCount; ++i) {
    TextSymbol[i] = textBox(FrameSymbol, 8.25);
    Place(TextSymbol[i], 120, RowTop(i), 4560, 420);
    describe(TextSymbol[i], "TextSymbol", i, {}, i == kKeyCount ? 1 : 12);
  }
  for (int i = 1; i <= kKeyCount; ++i) {
    CommandSymbol[i] = browseButton(FrameSymbol);
    Place(CommandSymbol[i], 4770, RowTop(i), 420, 420);
    describe(CommandSymbol[i], "CommandSymbol", i, {}, 12);
  }

  FrameUser = frame(MainFrame);
  Place(FrameUser, 6300, 150, 1740, 6450);
  describe(FrameUser, "FrameUser", std::nullopt, {}, 0);
  LabelUserHeader = label(FrameUser, QStringLiteral("User"), 12, true);
  Place(LabelUserHeader, 120, 150, 1500, 300);
  describe(LabelUserHeader, "LabelUserHeader", std::nullopt, kNoToolTip, 0);
  for (int i = 1; i <= kKeyCount; ++i) {
    TextUser[i] = textBox(FrameUser, 12);
    Place(TextUser[i], 120, RowTop(i), 1500, 420);
    describe(TextUser[i], "TextUser", i, {}, 14);
  }

  FramePassword = frame(MainFrame);
  Place(FramePassword, 8100, 150, 1740, 6450);
  describe(FramePassword, "FramePassword", std::nullopt, {}, 13);
  LabelPasswordHeader = label(FramePassword, QStringLiteral("Password"), 12, true);
  Place(LabelPasswordHeader, 120, 150, 1500, 300);
  describe(LabelPasswordHeader, "LabelPasswordHeader", std::nullopt, kNoToolTip, 0);
  for (int i = 1; i <= kKeyCount; ++i) {
    TextPassword[i] = textBox(FramePassword, 12);
    TextPassword[i]->setEchoMode(QLineEdit::Password);
    TextPassword[i]->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }"));
    Place(TextPassword[i], 120, RowTop(i), 1500, 420);
    describe(TextPassword[i], "TextPassword", i, {}, 13);
  }

  FrameDrive = frame(MainFrame);
  Place(FrameDrive, 9900, 150, 1740, 6450);
  describe(FrameDrive, "FrameDrive", std::nullopt, {}, 13);
  LabelDriveHeader = label(FrameDrive, QStringLiteral("Drive"), 12, true);
  Place(LabelDriveHeader, 120, 150, 1500, 300);
  describe(LabelDriveHeader, "LabelDriveHeader", std::nullopt, kNoToolTip, 0);
  for (int i = 1; i <= kKeyCount; ++i) {
    auto* combo = new QComboBox(FrameDrive);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setCompleter(nullptr);
    combo->setFont(FormFont(12));
    Place(combo, 420, RowTop(i), 855, 420);
    describe(combo, "ComboDrive", i, {}, 0);
    ComboDrive[i] = combo;
  }

  // Picture buttons without caption: a green check mark and a red cross.
  auto pictureButton = [&](const char* name, const QString& picture, QSize pictureSize, int left) {
    auto* button = new QPushButton(this);
    button->setIcon(QIcon(picture));
    button->setIconSize(pictureSize);
    button->setFont(FormFont(8.25));
    button->setEnabled(false);
    Place(button, left, 7710, 1695, 855);
    describe(button, name, std::nullopt, {}, 0);
    return button;
  };
  CommandOK = pictureButton("CommandOK", QStringLiteral(":/images/CommandOK.gif"), QSize(44, 36), 8400);
  CommandCancel =
      pictureButton("CommandCancel", QStringLiteral(":/images/CommandCancel.gif"), QSize(37, 39), 10170);
}

void frm_Quorvel_Exe::SetTabOrder() {
  QWidget* previous = CommandOK;
  auto next = [&previous](QWidget* widget) {
    QWidget::setTabOrder(previous, widget);
    previous = widget;
  };
  next(CommandCancel);
  next(TabStripMachine);
  for (int i = 1; i <= kKeyCount; ++i) {
    next(TextExe[i]);
    next(CommandExe[i]);
    next(TextUser[i]);
    next(TextPassword[i]);
    next(ComboDrive[i]);
    next(TextSymbol[i]);
    next(CommandSymbol[i]);
  }
}

std::vector<TextControl> frm_Quorvel_Exe::TextControls() const {
  std::vector<TextControl> described;
  described.reserve(controls_.size());
  for (QWidget* widget : controls_) {
    TextControl control;
    control.name = widget->objectName();
    control.className = ClassNameOf(widget);
    control.tag = widget->property("Tag").toString();
    if (const QVariant index = widget->property("Index"); index.isValid()) control.index = index.toInt();
    control.helpId = widget->property("HelpId").toInt();
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      control.caption = [label] { return label->text(); };
      control.setCaption = [label](const QString& text) { label->setText(text); };
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      control.caption = [button] { return button->text(); };
      control.setCaption = [button](const QString& text) { button->setText(text); };
    }
    control.setToolTip = [widget](const QString& text) { widget->setToolTip(text); };
    described.push_back(std::move(control));
  }
  return described;
}
