// The window's controls: places and sizes of the form description (in twips, 15 to a pixel), its bold
// sans-serif texts, the two picture buttons and the tab order. The form lies in a scroll area that fills
// the window, so a window smaller than the form (a screen that cannot hold it) still reaches every control.
// Names, tags and help ids of the controls are described once, for the language texts, in core/FormControls.

#include "editor/frm_Quorvel_Exe.h"

#include "framework/IniAccess.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QTabBar>
#include <QVBoxLayout>
#include <QValidator>

namespace {

constexpr double kTwipsPerPixel = 15.0;

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

// A field holds no more than the settings file gives back. A longer text, typed or pasted, is refused as
// a whole (a length limit of the field would keep its beginning and drop the rest unseen); the field
// tells when it refuses.
class StorableLength : public QValidator {
 public:
  using QValidator::QValidator;
  State validate(QString& input, int&) const override {
    return input.size() > kIniReadLimit ? Invalid : Acceptable;
  }
};

// Makes the controls and registers each under its name (arrays: one name, an index each), in the order
// of the form description.
class FormBuilder {
 public:
  explicit FormBuilder(std::vector<QWidget*>& controls) : controls_(controls) {}

  template <class W>
  W* Add(W* widget, const char* name, std::optional<int> index = std::nullopt) {
    widget->setObjectName(QString::fromLatin1(name));
    if (index) widget->setProperty("Index", *index);
    controls_.push_back(widget);
    return widget;
  }
  QLabel* Label(QWidget* parent, const char* name, const QString& caption, double points, bool centred,
                std::optional<int> index = std::nullopt) {
    auto* label = Add(new QLabel(caption, parent), name, index);
    label->setFont(FormFont(points));
    if (centred) label->setAlignment(Qt::AlignCenter);
    return label;
  }
  // A column frame on the main frame, with its header label.
  QGroupBox* Column(QWidget* parent, const char* name, int left, int width) {
    auto* frame = Add(new QGroupBox(parent), name);
    frame->setFlat(false);
    Place(frame, left, 150, width, 6450);
    return frame;
  }
  QLabel* Header(QGroupBox* column, const char* name, const QString& caption, int width) {
    QLabel* header = Label(column, name, caption, 12, true);
    Place(header, 120, 150, width, 300);
    return header;
  }
  void TextBoxes(Row<QLineEdit>& row, QGroupBox* column, const char* name, int width, double points) {
    auto* length = new StorableLength(column);
    for (int i = 1; i <= kKeyCount; ++i) {
      row[i] = Add(new QLineEdit(column), name, i);
      row[i]->setValidator(length);
      row[i]->setFont(FormFont(points));
      Place(row[i], 120, RowTop(i), width, 420);
    }
  }
  void BrowseButtons(Row<QPushButton>& row, QGroupBox* column, const char* name) {
    for (int i = 1; i <= kKeyCount; ++i) {
      row[i] = Add(new QPushButton(QStringLiteral("..."), column), name, i);
      row[i]->setFont(FormFont(12));
      Place(row[i], 4770, RowTop(i), 420, 420);
    }
  }
  void DriveFields(Row<QComboBox>& row, QGroupBox* column) {
    for (int i = 1; i <= kKeyCount; ++i) {
      auto* combo = Add(new QComboBox(column), "ComboDrive", i);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setCompleter(nullptr);
      combo->setFont(FormFont(12));
      Place(combo, 420, RowTop(i), 855, 420);
      row[i] = combo;
    }
  }
  // A picture button without caption.
  QPushButton* PictureButton(QWidget* parent, const char* name, const QString& picture, QSize size,
                             int left) {
    auto* button = Add(new QPushButton(parent), name);
    button->setIcon(QIcon(picture));
    button->setIconSize(size);
    button->setFont(FormFont(8.25));
    button->setEnabled(false);
    Place(button, left, 7710, 1695, 855);
    return button;
  }

 private:
  std::vector<QWidget*>& controls_;
};

}  // namespace

void frm_Quorvel_Exe::BuildControls() {
  setFont(FormFont(8.25));
  auto* form = new QWidget;
  form->setFixedSize(Px(11910), Px(8625));
  scroller_ = new QScrollArea(this);
  scroller_->setFrameShape(QFrame::NoFrame);
  // A click on the background, a label or a frame leaves the keyboard where it was: the scroll area
  // draws no focus and takes no keys, so it must not take the focus either.
  scroller_->setFocusPolicy(Qt::NoFocus);
  scroller_->setWidget(form);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(scroller_);
  setFixedSize(form->size());
  FormBuilder build(controls_);

  Header = build.Label(form, "Header", QStringLiteral("Documentation - Customer Configuration"), 13.5, false);
  Place(Header, 30, 30, 7245, 360);

  // The tab strip: the row of tabs, and below it the page on which MainFrame lies.
  TabStripMachine = build.Add(new QTabBar(form), "TabStripMachine");
  TabStripMachine->setFont(FormFont(12));
  TabStripMachine->setExpanding(false);
  TabStripMachine->setDrawBase(false);
  // A clicked tab takes the keyboard, so Left and Right go on to the next tab from there.
  TabStripMachine->setFocusPolicy(Qt::StrongFocus);
  Place(TabStripMachine, 0, 390, 11880, 420);
  auto* page = new QFrame(form);
  page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  Place(page, 0, 390 + 405, 11880, 7260 - 405);
  page->lower();

  MainFrame = build.Add(new QGroupBox(form), "MainFrame");
  Place(MainFrame, 120, 810, 11700, 6720);

  FrameKey = build.Column(MainFrame, "FrameKey", 120, 750);
  LabelKeyHeader = build.Header(FrameKey, "LabelKeyHeader", QStringLiteral("Key"), 510);
  for (int i = 1; i <= kKeyCount; ++i) {
    LabelKeyNumber[i] = build.Label(FrameKey, "LabelKeyNumber", QString::number(i), 12, true, i);
    Place(LabelKeyNumber[i], 120, KeyNumberTop(i), 510, 300);
  }

  FrameExe = build.Column(MainFrame, "FrameExe", 960, 5280);
  LabelExeHeader = build.Header(FrameExe, "LabelExeHeader", QStringLiteral("Html / Pdf - File"), 4560);
  build.TextBoxes(TextExe, FrameExe, "TextExe", 4560, 8.25);
  build.BrowseButtons(CommandExe, FrameExe, "CommandExe");

  FrameSymbol = build.Column(MainFrame, "FrameSymbol", 6300, 5280);
  LabelSymbolHeader = build.Header(FrameSymbol, "LabelSymbolHeader", QStringLiteral("Symbol"), 4560);
  build.TextBoxes(TextSymbol, FrameSymbol, "TextSymbol", 4560, 8.25);
  build.BrowseButtons(CommandSymbol, FrameSymbol, "CommandSymbol");

  FrameUser = build.Column(MainFrame, "FrameUser", 6300, 1740);
  LabelUserHeader = build.Header(FrameUser, "LabelUserHeader", QStringLiteral("User"), 1500);
  build.TextBoxes(TextUser, FrameUser, "TextUser", 1500, 12);

  FramePassword = build.Column(MainFrame, "FramePassword", 8100, 1740);
  LabelPasswordHeader = build.Header(FramePassword, "LabelPasswordHeader", QStringLiteral("Password"), 1500);
  build.TextBoxes(TextPassword, FramePassword, "TextPassword", 1500, 12);
  for (int i = 1; i <= kKeyCount; ++i) {
    TextPassword[i]->setEchoMode(QLineEdit::Password);
    TextPassword[i]->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 35; }"));
  }

  FrameDrive = build.Column(MainFrame, "FrameDrive", 9900, 1740);
  LabelDriveHeader = build.Header(FrameDrive, "LabelDriveHeader", QStringLiteral("Drive"), 1500);
  build.DriveFields(ComboDrive, FrameDrive);

  // A green check mark and a red cross.
  CommandOK =
      build.PictureButton(form, "CommandOK", QStringLiteral(":/images/CommandOK.gif"), QSize(44, 36), 8400);
  CommandCancel = build.PictureButton(form, "CommandCancel", QStringLiteral(":/images/CommandCancel.gif"),
                                      QSize(37, 39), 10170);

  // The labels name their fields: each key number its row's first field, each header its column's.
  for (int i = 1; i <= kKeyCount; ++i) LabelKeyNumber[i]->setBuddy(TextExe[i]);
  LabelKeyHeader->setBuddy(TextExe[1]);
  LabelExeHeader->setBuddy(TextExe[1]);
  LabelSymbolHeader->setBuddy(TextSymbol[1]);
  LabelUserHeader->setBuddy(TextUser[1]);
  LabelPasswordHeader->setBuddy(TextPassword[1]);
  LabelDriveHeader->setBuddy(ComboDrive[1]);
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
