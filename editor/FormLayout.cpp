// The window's controls: places and sizes of the form description, the two picture buttons and the tab
// order. The form lies in a scroll area that fills the window, so a window smaller than the form (a
// screen that cannot hold it) still reaches every control. Names, tags and help ids of the controls are
// described once, for the language texts, in core/FormControls.

#include "editor/FormLayout.h"

#include "editor/KeyRowsPanel.h"
#include "editor/NetAddressPanel.h"
#include "editor/frm_Quorvel_Exe.h"
#include "framework/IniAccess.h"

#include <QComboBox>
#include <QFontMetrics>
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

}  // namespace

int Px(int twips) {
  return qRound(twips / kTwipsPerPixel);
}

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

void FormBuilder::Register(QWidget* widget, const char* name, std::optional<int> index) {
  widget->setObjectName(QString::fromLatin1(name));
  if (index) widget->setProperty("Index", *index);
  controls_.push_back(widget);
}

QLabel* FormBuilder::Label(QWidget* parent, const char* name, const QString& caption, double points,
                           bool centred, std::optional<int> index) {
  auto* label = Add(new QLabel(caption, parent), name, index);
  label->setFont(FormFont(points));
  if (centred) label->setAlignment(Qt::AlignCenter);
  return label;
}

QGroupBox* FormBuilder::Column(QWidget* panel, const char* name, int left, int width) {
  auto* frame = Add(new QGroupBox(panel), name);
  frame->setFlat(false);
  // Placed on the main frame's grid, so the pixels are those of a column lying on the main frame itself.
  Place(frame, left, kColumnTop, width, kColumnHeight);
  frame->move(frame->pos() - panel->pos());
  return frame;
}

QLabel* FormBuilder::Header(QGroupBox* column, const char* name, const QString& caption, int width) {
  QLabel* header = Label(column, name, caption, 12, true);
  Place(header, 120, 150, width, 300);
  return header;
}

void FormBuilder::SetHeaderText(QLabel* header, const QString& text) {
  // The header's place and font from the form description, kept for texts that fit it.
  if (!header->property("formGeometry").isValid()) {
    header->setProperty("formGeometry", header->geometry());
    header->setProperty("formFont", header->font());
  }
  const QRect place = header->property("formGeometry").toRect();
  QFont font = header->property("formFont").value<QFont>();
  header->setText(text);
  header->setFont(font);
  header->setGeometry(place);
  if (QFontMetrics(font).horizontalAdvance(text) <= place.width()) return;
  const QWidget* column = header->parentWidget();
  const int width = column ? column->width() - 4 : place.width();
  while (font.pointSizeF() > 6 && QFontMetrics(font).horizontalAdvance(text) > width) {
    font.setPointSizeF(font.pointSizeF() - 0.5);
  }
  header->setFont(font);
  header->setGeometry(2, place.y(), width, place.height());
}

void FormBuilder::TextBoxes(Row<QLineEdit>& row, QGroupBox* column, const char* name, int width,
                            double points) {
  auto* length = new StorableLength(column);
  for (int i = 1; i <= kKeyCount; ++i) {
    row[i] = Add(new QLineEdit(column), name, i);
    row[i]->setValidator(length);
    row[i]->setFont(FormFont(points));
    Place(row[i], 120, RowTop(i), width, 420);
  }
}

void FormBuilder::BrowseButtons(Row<QPushButton>& row, QGroupBox* column, const char* name) {
  for (int i = 1; i <= kKeyCount; ++i) {
    row[i] = Add(new QPushButton(QStringLiteral("..."), column), name, i);
    row[i]->setFont(FormFont(12));
    Place(row[i], 4770, RowTop(i), 420, 420);
  }
}

void FormBuilder::DriveFields(Row<QComboBox>& row, QGroupBox* column) {
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

QPushButton* FormBuilder::PictureButton(QWidget* parent, const char* name, const QString& picture, QSize size,
                                        int left) {
  auto* button = Add(new QPushButton(parent), name);
  button->setIcon(QIcon(picture));
  button->setIconSize(size);
  button->setFont(FormFont(8.25));
  button->setEnabled(false);
  Place(button, left, 7710, 1695, 855);
  return button;
}

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

  header_ =
      build.Label(form, "Header", QStringLiteral("Documentation - Customer Configuration"), 13.5, false);
  Place(header_, 30, 30, 7245, 360);

  // The tab strip: the row of tabs, and below it the page on which MainFrame lies.
  tabStrip_ = build.Add(new QTabBar(form), "TabStripMachine");
  tabStrip_->setFont(FormFont(12));
  tabStrip_->setExpanding(false);
  tabStrip_->setDrawBase(false);
  // A clicked tab takes the keyboard, so Left and Right go on to the next tab from there.
  tabStrip_->setFocusPolicy(Qt::StrongFocus);
  Place(tabStrip_, 0, 390, 11880, 420);
  auto* page = new QFrame(form);
  page->setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
  Place(page, 0, 390 + 405, 11880, 7260 - 405);
  page->lower();

  mainFrame_ = build.Add(new QGroupBox(form), "MainFrame");
  Place(mainFrame_, 120, 810, 11700, 6720);

  // The net address panel lies over the key rows' symbol column, which its view hides.
  auto setText = [this](QLineEdit* field, const QString& text) { SetFieldText(field, text); };
  keyRows_ = new KeyRowsPanel(session_, setText, build, mainFrame_);
  netAddresses_ = new NetAddressPanel(session_, setText, build, mainFrame_, *keyRows_);

  // A green check mark and a red cross.
  commandOK_ =
      build.PictureButton(form, "CommandOK", QStringLiteral(":/images/CommandOK.gif"), QSize(44, 36), 8400);
  commandCancel_ = build.PictureButton(form, "CommandCancel", QStringLiteral(":/images/CommandCancel.gif"),
                                       QSize(37, 39), 10170);
}

void frm_Quorvel_Exe::SetTabOrder() {
  QWidget* previous = commandOK_;
  auto next = [&previous](QWidget* widget) {
    QWidget::setTabOrder(previous, widget);
    previous = widget;
  };
  next(commandCancel_);
  next(tabStrip_);
  // Row by row across both panels, as the columns stand side by side on either tab.
  const KeyRowsPanel& keys = *keyRows_;
  const NetAddressPanel& net = *netAddresses_;
  for (int i = 1; i <= kKeyCount; ++i) {
    next(keys.TextExe(i));
    next(keys.CommandExe(i));
    next(net.TextUser(i));
    next(net.TextPassword(i));
    next(net.ComboDrive(i));
    next(keys.TextSymbol(i));
    next(keys.CommandSymbol(i));
  }
}
