#include "editor/frm_Quorvel_Exe.h"

#include "core/FieldRules.h"
#include "core/FormControls.h"
#include "core/StorableValues.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
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

void frm_Quorvel_Exe::ConnectHandlers() {
  auto on = [this](auto member, int index) {
    return [this, member, index] { RunHandler([&] { (this->*member)(index); }); };
  };
  for (int i = 1; i <= kKeyCount; ++i) {
    connect(TextExe[i], &QLineEdit::textChanged, this, on(&frm_Quorvel_Exe::TextExe_Change, i));
    connect(TextExe[i], &QLineEdit::editingFinished, this, on(&frm_Quorvel_Exe::TextExe_LostFocus, i));
    connect(TextSymbol[i], &QLineEdit::textChanged, this, on(&frm_Quorvel_Exe::TextSymbol_Change, i));
    connect(TextUser[i], &QLineEdit::textChanged, this, on(&frm_Quorvel_Exe::TextUser_Change, i));
    connect(TextUser[i], &QLineEdit::editingFinished, this, on(&frm_Quorvel_Exe::TextUser_LostFocus, i));
    connect(TextPassword[i], &QLineEdit::textChanged, this, on(&frm_Quorvel_Exe::TextPassword_Change, i));
    connect(TextPassword[i], &QLineEdit::editingFinished, this,
            on(&frm_Quorvel_Exe::TextPassword_LostFocus, i));
    connect(ComboDrive[i], &QComboBox::editTextChanged, this, on(&frm_Quorvel_Exe::ComboDrive_Change, i));
    connect(ComboDrive[i], &QComboBox::activated, this, on(&frm_Quorvel_Exe::ComboDrive_Click, i));
    connect(CommandExe[i], &QPushButton::clicked, this, on(&frm_Quorvel_Exe::CommandExe_Click, i));
    connect(CommandSymbol[i], &QPushButton::clicked, this, on(&frm_Quorvel_Exe::CommandSymbol_Click, i));
  }
  // After the refused change is undone, not inside the field's editing.
  auto tooLong = [this] {
    QMetaObject::invokeMethod(
        this, [this] { RunHandler([this] { session_.context.port.ShowMessage(kValueTooLongFault); }); },
        Qt::QueuedConnection);
  };
  for (const Row<QLineEdit>* row : {&TextExe, &TextSymbol, &TextUser, &TextPassword}) {
    for (int i = 1; i <= kKeyCount; ++i) connect((*row)[i], &QLineEdit::inputRejected, this, tooLong);
  }
  connect(TabStripMachine, &QTabBar::currentChanged, this,
          [this] { RunHandler([this] { TabStripMachine_Click(); }); });
  connect(CommandOK, &QPushButton::clicked, this, [this] { RunHandler([this] { CommandOK_Click(); }); });
  connect(CommandCancel, &QPushButton::clicked, this,
          [this] { RunHandler([this] { CommandCancel_Click(); }); });
}

void frm_Quorvel_Exe::ConnectTabKeys() {
  auto add = [this](const QKeySequence& keys, int step) {
    auto* shortcut = new QShortcut(keys, this);
    connect(shortcut, &QShortcut::activated, this, [this, step] { StepTab(step); });
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_Tab), 1);
  add(QKeySequence(Qt::CTRL | Qt::Key_PageDown), 1);
  // X11 reports Shift+Tab as Backtab.
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), -1);
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), -1);
  add(QKeySequence(Qt::CTRL | Qt::Key_PageUp), -1);

  TabStripMachine->installEventFilter(this);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && isAncestorOf(now) && (qobject_cast<QLineEdit*>(now) || qobject_cast<QComboBox*>(now))) {
      lastField_ = now;
    }
  });
}

QWidget* frm_Quorvel_Exe::FieldForTypedText() const {
  if (lastField_ && lastField_->isVisibleTo(this) && lastField_->isEnabled()) return lastField_;
  return TextExe[1];
}

bool frm_Quorvel_Exe::eventFilter(QObject* watched, QEvent* event) {
  // The tab strip takes arrows and Tab; a typed character would be lost there.
  if (watched == TabStripMachine && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers modifiers = key->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (modifiers == Qt::NoModifier && !key->text().isEmpty() && key->text().at(0).isPrint()) {
      QWidget* field = FieldForTypedText();
      field->setFocus(Qt::OtherFocusReason);
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
    (focused ? focused : CommandOK)->click();
    return;
  }
  if (modifiers == Qt::NoModifier && event->key() == Qt::Key_Escape) {
    CommandCancel->click();
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
  for (QPushButton* button : {CommandOK, CommandCancel}) {
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
    const QSignalBlocker quietTabs(TabStripMachine);
    for (const int16_t m : settings.TabMachine) TabStripMachine->addTab(session_.context.ExistingMachine(m));
    if (!settings.UseVWFD) return;
    for (int i = 1; i <= kNetAddressCount; ++i) {
      {
        const QSignalBlocker quietCombo(ComboDrive[i]);
        ComboDrive[i]->addItems(DriveLetters());
      }
      ShowDrive(i, settings.NetDrive(i));
    }
    TabStripMachine->addTab(kNetAddressCaption);
    TabStripMachine->setCurrentIndex(0);
  }
  TabStripMachine_Click();
  CommandOK->setEnabled(true);
  CommandCancel->setEnabled(true);
  TextExe[1]->setFocus();
}

void frm_Quorvel_Exe::Form_Activate() {
  CommandOK->setEnabled(true);
}

bool frm_Quorvel_Exe::Form_QueryUnload(int /*unloadMode*/) {
  return ::Form_QueryUnload(session_);
}

NetAddressView frm_Quorvel_Exe::View() const {
  NetAddressView view{LabelExeHeader->text(), LabelSymbolHeader->text(), {}};
  for (int n = 1; n <= kNetAddressCount; ++n) view.driveTexts[n - 1] = ComboDrive[n]->currentText();
  return view;
}

void frm_Quorvel_Exe::CommandOK_Click() {
  std::optional<NetAddressFault> fault;
  const bool passed = ::CommandOK_Click(session_, View(), &fault);
  // The check cuts file names off and removes trailing separators of net addresses: the fields show
  // what will be written.
  if (NetAddressTabSelected()) {
    for (int n = 1; n <= kNetAddressCount; ++n) {
      if (TextExe[n]->text() != session_.settings.NetAddress(n)) {
        SetFieldText(TextExe[n], session_.settings.NetAddress(n));
      }
    }
  }
  if (!passed) {
    if (fault) ShowFaultyField(*fault);
    return;
  }
  CommandOK->setEnabled(false);
  CommandCancel->setEnabled(false);
  CloseMe(session_);
}

void frm_Quorvel_Exe::CommandCancel_Click() {
  ::CommandCancel_Click(session_);
}
