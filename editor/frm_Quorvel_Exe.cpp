#include "editor/frm_Quorvel_Exe.h"

#include "core/FieldRules.h"
#include "editor/KeyRowsPanel.h"
#include "editor/NetAddressPanel.h"
#include "framework/ErrorTrap.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabBar>

#include <algorithm>
#include <cstdio>

frm_Quorvel_Exe::frm_Quorvel_Exe(Session& session, QWidget* parent) : QWidget(parent), session_(session) {
  setObjectName(QStringLiteral("frm_Quorvel_Exe"));
  setWindowTitle(QStringLiteral("Base QVZCFG-Erweiterung"));
  setWindowIcon(QIcon(QStringLiteral(":/images/documentation-config.png")));
  BuildControls();
  SetTabOrder();
  ConnectHandlers();
  ConnectTabKeys();
}

// Destroying the window hides it, and the field that had the focus finishes its editing then: by that time
// this window is gone, so no handler may be reached any more.
frm_Quorvel_Exe::~frm_Quorvel_Exe() {
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

namespace {
// The line a text or drive field is typed in.
QLineEdit* TypedLineOf(QObject* field) {
  if (auto* drive = qobject_cast<QComboBox*>(field)) return drive->lineEdit();
  return qobject_cast<QLineEdit*>(field);
}
}  // namespace

void frm_Quorvel_Exe::ConnectTabKeys() {
  auto add = [this](const QKeySequence& keys, int step) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, [this, step] {
      // The field keeps the keyboard while the new tab refills it: it goes on where it was left, as after
      // a click on a tab.
      QWidget* field = focusWidget();
      QLineEdit* line = TypedLineOf(field);
      EditingPlace place;
      if (line) place.Remember(*line);
      StepTab(step);
      if (line && focusWidget() == field) place.ResumeIn(*line);
    });
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
  add(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
  // X11 reports Shift+Tab as Backtab.
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
  add(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);

  tabStrip_->installEventFilter(this);
  // Every field tells where it was left before its own handling of the focus loss (which may cut a
  // net address) runs.
  for (QLineEdit* field : findChildren<QLineEdit*>()) field->installEventFilter(this);
  for (QComboBox* drive : findChildren<QComboBox*>()) drive->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && isAncestorOf(now) && (qobject_cast<QLineEdit*>(now) || qobject_cast<QComboBox*>(now))) {
      lastField_ = now;
    }
  });
}

QWidget* frm_Quorvel_Exe::FieldForTypedText() const {
  if (lastField_ && lastField_->isVisibleTo(this) && lastField_->isEnabled()) return lastField_;
  return keyRows_->TextExe(1);
}

bool frm_Quorvel_Exe::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusOut) {
    if (const QLineEdit* line = TypedLineOf(watched)) leftAt_.Remember(*line);
  }
  // The tab strip takes arrows and Tab; a typed character would be lost there.
  if (watched == tabStrip_ && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint()) {
      QWidget* field = FieldForTypedText();
      field->setFocus(Qt::OtherFocusReason);
      if (QLineEdit* line = TypedLineOf(field)) leftAt_.ResumeIn(*line);
      QCoreApplication::sendEvent(field, key);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// ---- The boundary between Qt and the handlers ----

void frm_Quorvel_Exe::RunHandler(const std::function<void()>& handler) {
  if (endStatus_ || session_.closing) return;
  try {
    handler();
  } catch (const ProgramEnd& end) {
    endStatus_ = end.status;
  } catch (const std::exception& e) {
    // The steps that can fail run through traps, so this is a fault of the program itself.
    std::fprintf(stderr, "%s: unhandled error: %s\n", qPrintable(session_.context.location.ExecutableName()),
                 e.what());
    endStatus_ = kExitError;
  }
  if (endStatus_) {
    hide();
    QCoreApplication::exit(*endStatus_);
  }
}

void frm_Quorvel_Exe::PassOnProgramEnd() const {
  if (endStatus_) throw ProgramEnd{*endStatus_};
}

void frm_Quorvel_Exe::SetFieldText(QLineEdit* field, const QString& text) {
  field->setText(text);
  field->setCursorPosition(0);  // long paths show their beginning, the drive or server
  PassOnProgramEnd();
}

void frm_Quorvel_Exe::closeEvent(QCloseEvent* event) {
  if (endStatus_) {
    event->accept();
    return;
  }
  // While the closing sequence runs the window closes only through it.
  if (session_.closing) {
    event->ignore();
    return;
  }
  bool keepOpen = true;
  RunHandler([&] { keepOpen = Form_QueryUnload(0); });
  if (endStatus_ || !keepOpen) {
    event->accept();
  } else {
    event->ignore();
  }
}

bool frm_Quorvel_Exe::event(QEvent* event) {
  if (event->type() == QEvent::WindowActivate) {
    // The window manager's frame is known once the window is shown: the window must fit with it.
    if (frameGeometry().size() - size() != fittedFrame_ && screen()) FitInto(screen()->availableGeometry());
    RunHandler([this] { Form_Activate(); });
  }
  return QWidget::event(event);
}

void frm_Quorvel_Exe::showEvent(QShowEvent* event) {
  if (!event->spontaneous() && screen()) FitInto(screen()->availableGeometry());
  QWidget::showEvent(event);
}

void frm_Quorvel_Exe::FitInto(const QRect& available) {
  fittedFrame_ = frameGeometry().size() - size();
  const QSize form = scroller_->widget()->size();
  const QSize room = available.size() - fittedFrame_;
  const QSize window(std::min(form.width(), room.width()), std::min(form.height(), room.height()));
  setFixedSize(window);
  // Scroll bars only when the form does not fit; set at once, so the first picture has none.
  const Qt::ScrollBarPolicy bars = window == form ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded;
  scroller_->setHorizontalScrollBarPolicy(bars);
  scroller_->setVerticalScrollBarPolicy(bars);
  // A shown window that reaches beyond the area moves into it.
  if (!isVisible()) return;
  const QRect outer = frameGeometry();
  const int left = std::max(available.left(), std::min(outer.left(), available.right() + 1 - outer.width()));
  const int top = std::max(available.top(), std::min(outer.top(), available.bottom() + 1 - outer.height()));
  if (left != outer.left() || top != outer.top()) move(left, top);
}

void frm_Quorvel_Exe::keyPressEvent(QKeyEvent* event) {
  // Keys the focused control left alone.
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (modifiers == Qt::NoModifier && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
    auto* focused = qobject_cast<QPushButton*>(focusWidget());
    (focused ? focused : commandOK_)->click();
    return;
  }
  if (modifiers == Qt::NoModifier && event->key() == Qt::Key_Escape) {
    commandCancel_->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

// ---- Loading and leaving ----

void frm_Quorvel_Exe::ApplyLanguageTexts() {
  const std::vector<ControlTexts>& texts = session_.texts;
  for (size_t i = 0; i < controls_.size() && i < texts.size(); ++i) {
    QWidget* widget = controls_[i];
    if (texts[i].caption) {
      if (auto* label = qobject_cast<QLabel*>(widget)) label->setText(*texts[i].caption);
      if (auto* button = qobject_cast<QAbstractButton*>(widget)) button->setText(*texts[i].caption);
    }
    if (texts[i].toolTip) widget->setToolTip(*texts[i].toolTip);
    // A screen reader reads the tool-tip as the control's description.
    widget->setAccessibleDescription(widget->toolTip());
  }
  // Picture buttons without a caption are named by their tool-tip.
  for (QPushButton* button : {commandOK_, commandCancel_}) {
    button->setAccessibleName(!button->text().isEmpty()      ? button->text()
                              : !button->toolTip().isEmpty() ? button->toolTip()
                                                             : button->objectName().mid(7));
  }
  NameFields();
}

void frm_Quorvel_Exe::Form_Load() {
  const DocumentationSettings& settings = session_.settings;
  setWindowTitle(session_.windowTitle);
  ApplyLanguageTexts();
  {
    // The tabs are built here; the view is set up once at the end, not per added tab.
    const QSignalBlocker quietTabs(tabStrip_);
    for (const int16_t m : settings.TabMachines()) tabStrip_->addTab(session_.context.ExistingMachine(m));
    if (!settings.UseVWFD) return;
    netAddresses_->FillDriveLists();
    tabStrip_->addTab(session_.windowTexts.netAddressTab);
    tabStrip_->setCurrentIndex(0);
  }
  TabStripMachine_Click();
  commandOK_->setEnabled(true);
  commandCancel_->setEnabled(true);
  keyRows_->TextExe(1)->setFocus();
}

void frm_Quorvel_Exe::Form_Activate() {
  commandOK_->setEnabled(true);
}

bool frm_Quorvel_Exe::Form_QueryUnload(int /*unloadMode*/) {
  return ::Form_QueryUnload(session_);
}

NetAddressView frm_Quorvel_Exe::View() const {
  return {keyRows_->LabelExeHeader()->text(), keyRows_->LabelSymbolHeader()->text(),
          netAddresses_->DriveTexts()};
}

void frm_Quorvel_Exe::CommandOK_Click() {
  std::optional<NetAddressFault> fault;
  const bool passed = ::CommandOK_Click(session_, View(), &fault);
  // The check cuts file names off and removes trailing separators of net addresses: the fields show
  // what will be written.
  if (NetAddressTabSelected()) netAddresses_->ShowChangedAddresses();
  if (!passed) {
    if (fault) ShowFaultyField(*fault);
    return;
  }
  commandOK_->setEnabled(false);
  commandCancel_->setEnabled(false);
  CloseMe(session_);
}

void frm_Quorvel_Exe::CommandCancel_Click() {
  ::CommandCancel_Click(session_);
}
