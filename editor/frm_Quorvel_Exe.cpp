#include "editor/frm_Quorvel_Exe.h"

#include "editor/FieldRules.h"
#include "framework/CommandLine.h"
#include "framework/ErrorHandling.h"
#include "framework/ErrorTrap.h"
#include "framework/FileLookup.h"
#include "framework/Installation.h"
#include "framework/ProgramLocation.h"
#include "framework/UserPort.h"
#include "presets/WorkOnMdb.h"
#include "texts/ToolTipTexts.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTabBar>

#include <cstdio>

namespace {

const QString kDocumentCaption = QStringLiteral("Html / Pdf - File");
const QString kNetAddressCaption = QStringLiteral("Net address");

// A confirmed cancel ends with 2, unless an error was handled during the run.
int CancelStatus() {
  return AnyErrorHandled() ? kExitError : kExitCancelled;
}

QString FirstNonEmpty(std::initializer_list<QString> candidates, const QString& fallback) {
  for (const QString& candidate : candidates) {
    if (!candidate.isEmpty()) return candidate;
  }
  return fallback;
}

int MachineSlot(int machine) {
  if (!DocumentationSettings::HasSlot(machine))
    Raise(kErrSubscript, QStringLiteral("Subscript out of range"));
  return machine - 1;
}

}  // namespace

frm_Quorvel_Exe::frm_Quorvel_Exe(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("frm_Quorvel_Exe"));
  setWindowTitle(QStringLiteral("Base QVZCFG-Erweiterung"));
  BuildControls();
  SetTabOrder();
  ConnectHandlers();
}

frm_Quorvel_Exe::~frm_Quorvel_Exe() = default;

void frm_Quorvel_Exe::ConnectHandlers() {
  auto on = [this](auto member, int index) {
    return [this, member, index] { RunHandler([&] { (this->*member)(index); }); };
  };
  for (int i = 1; i <= kKeyCount; ++i) {
    connect(TextExe[i], &QLineEdit::textChanged, this, on(&frm_Quorvel_Exe::TextExe_Change, i));
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
  connect(TabStripMachine, &QTabBar::currentChanged, this,
          [this] { RunHandler([this] { TabStripMachine_Click(); }); });
  connect(CommandOK, &QPushButton::clicked, this, [this] { RunHandler([this] { CommandOK_Click(); }); });
  connect(CommandCancel, &QPushButton::clicked, this,
          [this] { RunHandler([this] { CommandCancel_Click(); }); });
}

// ---- The boundary between Qt and the handlers ----

void frm_Quorvel_Exe::RunHandler(const std::function<void()>& handler) {
  if (endStatus_ || closing_) return;
  ++handlerDepth_;
  try {
    handler();
  } catch (const ProgramEnd& end) {
    endStatus_ = end.status;
  } catch (const std::exception& e) {
    // Every step runs through a trap, so this is a fault of the program itself.
    std::fprintf(stderr, "%s: unhandled error: %s\n", qPrintable(ExecutableName()), e.what());
    endStatus_ = kExitError;
  }
  --handlerDepth_;
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

void frm_Quorvel_Exe::SetDriveText(int index, const QString& text) {
  ComboDrive[index]->setEditText(text);
  PassOnProgramEnd();
}

void frm_Quorvel_Exe::closeEvent(QCloseEvent* event) {
  if (endStatus_) {
    event->accept();
    return;
  }
  // While the closing sequence runs the window closes only through it.
  if (closing_) {
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
  if (event->type() == QEvent::WindowActivate) RunHandler([this] { Form_Activate(); });
  return QWidget::event(event);
}

// ---- Start-up and closing ----

void frm_Quorvel_Exe::Form_Load() {
  Trap trap(QStringLiteral("Form_Load"));
  const QString mode = trap.If([] { return GetStartModeIntegrated(); }) ? QStringLiteral(" - integriert")
                                                                        : QStringLiteral(" - standalone");
  trap.Run([&] {
    setWindowTitle(QStringLiteral("Erweiterte Konfiguration ") + GetFileNameOnly(ProgramFolder()) + mode);
  });
  trap.Run([&] { HostIniPath = GetQVZConfigurationIniPath(); });
  trap.Run([&] { GetExistingMachines(HostIniPath); });
  trap.Run([&] { SetupUserInterFace(); });
  if (settings_.UseVWFD) trap.Run([&] { show(); });
  if (trap.If([] { return !SilentMode; })) {
    trap.Run([&] {
      CommandOK->setEnabled(true);
      CommandCancel->setEnabled(true);
    });
  } else {
    trap.Run([&] { CommandOK_Click(); });
  }
  if (settings_.UseVWFD) return;
  trap.Run([&] { CloseMe(); });
}

void frm_Quorvel_Exe::Form_Activate() {
  Trap trap(QStringLiteral("Form_Activate"));
  trap.Run([&] { CommandOK->setEnabled(true); });
}

bool frm_Quorvel_Exe::Form_QueryUnload(int /*unloadMode*/) {
  Trap trap(QStringLiteral("Form_QueryUnload"));
  if (trap.If([] { return !ConfirmCancel(); })) return true;
  EndProgram(CancelStatus());
}

void frm_Quorvel_Exe::CommandOK_Click() {
  Trap trap(QStringLiteral("CommandOK_Click"));
  bool passed = true;
  trap.Run([&] { passed = CheckNetAddresses(); });
  if (!passed) {
    // Unattended, nobody could correct the entries: the fault goes to the service log and the run ends
    // without touching the database or the settings.
    if (SilentMode) {
      WriteServiceLog(netAddressFault_);
      EndProgram(kExitError);
    }
    return;
  }
  trap.Run([&] {
    CommandOK->setEnabled(false);
    CommandCancel->setEnabled(false);
  });
  trap.Run([&] { CloseMe(); });
}

void frm_Quorvel_Exe::CommandCancel_Click() {
  Trap trap(QStringLiteral("CommandCancel_Click"));
  if (trap.If([] { return ConfirmCancel(); })) EndProgram(CancelStatus());
}

void frm_Quorvel_Exe::CloseMe() {
  Trap trap(QStringLiteral("CloseMe"));
  // From here on close requests, a second OK and field events are ignored.
  closing_ = true;
  trap.Run([] { Port().ProcessEvents(); });
  trap.Run([] { Port().SetBusy(true); });
  trap.Run([] { WorkOnMDB(); });
  trap.Run([&] { WriteInputs(); });
  trap.Run([] { Port().SetBusy(false); });
  EndProgram(ClosingStatus());
}

void frm_Quorvel_Exe::WriteInputs() {
  settings_.Write();
}

void frm_Quorvel_Exe::SetupUserInterFace() {
  Trap trap(QStringLiteral("SetupUserInterFace"));
  trap.Run([&] { LoadToolTipTexts(TextControls()); });
  QString validMachines;
  trap.Run([&] { validMachines = GetValidMachines(); });
  {
    // The tabs are built here; the view is set up once at the end, not per added tab.
    const QSignalBlocker quietTabs(TabStripMachine);
    trap.Run([&] { settings_.ReadUseVWFD(); });
    const int machines = std::min<int>(static_cast<int>(ExistingMachines.size()), kMachineSlots);
    for (int m = 1; m <= machines; ++m) {
      if (!trap.If([&] {
            return DocumentationSettings::MachineTakesPart(m, validMachines) && settings_.UseVWFD;
          })) {
        continue;
      }
      trap.Run([&] {
        TabStripMachine->addTab(ExistingMachine(m));
        settings_.TabMachine.resize(TabStripMachine->count());
        settings_.TabMachine[TabStripMachine->count() - 1] = static_cast<int16_t>(m);
      });
      trap.Run([&] { settings_.ReadMachine(m); });
    }
    if (!settings_.UseVWFD) return;
    for (int i = 1; i <= kNetAddressCount; ++i) {
      trap.Run([&] {
        settings_.ReadNetAddress(i);
        SetDriveText(i, settings_.NetDrives[i - 1]);
      });
    }
    for (int i = 1; i <= kNetAddressCount; ++i) {
      trap.Run([&] {
        // Filling the list must not change the field's text (Qt would select the first letter).
        const QSignalBlocker quietCombo(ComboDrive[i]);
        const QString text = ComboDrive[i]->currentText();
        ComboDrive[i]->addItems(DriveLetters());
        ComboDrive[i]->setCurrentIndex(-1);
        ComboDrive[i]->setEditText(text);
      });
    }
    trap.Run([&] { TabStripMachine->addTab(kNetAddressCaption); });
    trap.Run([&] { TabStripMachine->setCurrentIndex(0); });
  }
  trap.Run([&] { TabStripMachine_Click(); });
}

// ---- Tabs ----

int frm_Quorvel_Exe::SelectedMachine() const {
  return settings_.MachineOfTab(TabStripMachine->currentIndex() + 1);
}

bool frm_Quorvel_Exe::NetAddressTabSelected() const {
  return TabStripMachine->count() > 0 && SelectedMachine() == 0;
}

void frm_Quorvel_Exe::TabStripMachine_Click() {
  Trap trap(QStringLiteral("TabStripMachine_Click"));
  int m = 0;
  trap.Run([&] { m = SelectedMachine(); });
  if (m != 0) {
    trap.Run([&] {
      FrameSymbol->show();
      FrameExe->show();
      FramePassword->hide();
      FrameUser->hide();
      FrameDrive->hide();
    });
    trap.Run([&] { LabelExeHeader->setText(kDocumentCaption); });
    trap.Run([&] { LabelKeyHeader->setText(QStringLiteral("Key")); });
    for (int i = 6; i <= kKeyCount; ++i) {
      trap.Run([&] {
        LabelKeyNumber[i]->show();
        TextExe[i]->show();
        TextPassword[i]->show();
        TextUser[i]->show();
        CommandExe[i]->show();
        ComboDrive[i]->hide();
      });
    }
    for (int i = 1; i <= kKeyCount; ++i) {
      trap.Run([&] { SetFieldText(TextExe[i], settings_.References[MachineSlot(m)][i]); });
      trap.Run([&] { SetFieldText(TextSymbol[i], settings_.Symbols[MachineSlot(m)][i]); });
    }
    return;
  }
  trap.Run([&] {
    FrameSymbol->hide();
    FrameExe->show();
    FramePassword->show();
    FrameUser->show();
    FrameDrive->show();
  });
  trap.Run([&] { LabelExeHeader->setText(kNetAddressCaption); });
  trap.Run([&] { LabelKeyHeader->setText(QStringLiteral("No.")); });
  for (int i = 6; i <= kKeyCount; ++i) {
    trap.Run([&] {
      LabelKeyNumber[i]->hide();
      TextExe[i]->hide();
      TextPassword[i]->hide();
      TextUser[i]->hide();
      CommandExe[i]->hide();
      ComboDrive[i]->hide();
    });
  }
  for (int i = 1; i <= kNetAddressCount; ++i) {
    trap.Run([&] { SetFieldText(TextPassword[i], settings_.NetPasswords[i - 1]); });
    trap.Run([&] { SetFieldText(TextUser[i], settings_.NetUsers[i - 1]); });
    trap.Run([&] { SetFieldText(TextExe[i], settings_.NetAddresses[i - 1]); });
  }
}

// ---- Fields: every change goes into the settings at once, so a tab change loses nothing ----

void frm_Quorvel_Exe::TextExe_Change(int index) {
  const int m = SelectedMachine();
  const QString text = TextExe[index]->text();
  if (m != 0) {
    settings_.References[MachineSlot(m)][index] = text;
    return;
  }
  if (index > kNetAddressCount) return;  // rows 6 ... 9 are not shown on the net address tab
  // A net address names a folder: a picked or typed file name is cut off.
  const QString folder = NetAddressFolder(text);
  settings_.NetAddresses[index - 1] = folder;
  if (folder != text) {
    const QSignalBlocker quiet(TextExe[index]);
    TextExe[index]->setText(folder);
  }
}

void frm_Quorvel_Exe::TextSymbol_Change(int index) {
  const int m = SelectedMachine();
  if (m != 0) settings_.Symbols[MachineSlot(m)][index] = TextSymbol[index]->text();
}

void frm_Quorvel_Exe::TextUser_Change(int index) {
  if (index <= kNetAddressCount) settings_.NetUsers[index - 1] = TextUser[index]->text();
}

void frm_Quorvel_Exe::TextUser_LostFocus(int index) {
  TextUser_Change(index);
}

void frm_Quorvel_Exe::TextPassword_Change(int index) {
  if (index <= kNetAddressCount) settings_.NetPasswords[index - 1] = TextPassword[index]->text();
}

void frm_Quorvel_Exe::TextPassword_LostFocus(int index) {
  TextPassword_Change(index);
}

void frm_Quorvel_Exe::ComboDrive_Change(int index) {
  if (index > kNetAddressCount) return;
  const DriveCheck check = CheckDrive(ComboDrive[index]->currentText());
  if (check.fault && !SilentMode) ShowMessage(QStringLiteral("Fault: only 'G' To 'X'"));
  if (ComboDrive[index]->currentText() != check.drive) {
    const QSignalBlocker quiet(ComboDrive[index]);
    ComboDrive[index]->setEditText(check.drive);
  }
  settings_.NetDrives[index - 1] = check.drive;
}

void frm_Quorvel_Exe::ComboDrive_Click(int index) {
  ComboDrive_Change(index);
}

void frm_Quorvel_Exe::CommandExe_Click(int index) {
  if (SelectedMachine() != 0) {
    FindFile(index, true, false, false);
  } else {
    FindFile(index, false, false, true);
  }
}

void frm_Quorvel_Exe::CommandSymbol_Click(int index) {
  FindFile(index, false, true, false);
}

void frm_Quorvel_Exe::FindFile(int index, bool forDocument, bool forSymbol, bool forNetAddress) {
  Trap trap(QStringLiteral("FindFile"));
  int m = 0;
  QString title;
  QString filter;
  QString preset;
  trap.Run([&] { m = SelectedMachine(); });
  if (forDocument) {
    trap.Run([&] {
      title = QStringLiteral("Browse File Htlm / Htm / Pdf");
      filter = QStringLiteral("*.html;*.htm|*.html;*.htm");
      const int slot = MachineSlot(m);
      preset = FirstNonEmpty({settings_.References[slot][index], settings_.Symbols[slot][index],
                              settings_.References[slot][index - 1]},
                             ProgramFolder());
    });
  } else if (forSymbol) {
    trap.Run([&] {
      title = QStringLiteral("Browse File Gif / Bmp");
      filter = QStringLiteral("*.gif;*.bmp|*.gif;*.bmp");
      const int slot = MachineSlot(m);
      preset = FirstNonEmpty({settings_.Symbols[slot][index], settings_.References[slot][index],
                              settings_.Symbols[slot][index - 1]},
                             ProgramFolder());
    });
  } else if (forNetAddress) {
    trap.Run([&] {
      title = QStringLiteral("Browse Net Address");
      filter = QStringLiteral("*.*|*.*");
      QString& address = settings_.NetAddresses.at(index - 1);
      if (address.isEmpty()) {
        preset = ProgramFolder();
        return;
      }
      if (EndsInSeparator(address)) {
        address.chop(1);
        SetFieldText(TextExe[index], address);
      }
      // A Windows share keeps its backslash; a path given with slashes keeps those.
      const bool slashes = address.contains(u'/') && !address.contains(u'\\');
      preset = address + (slashes ? QStringLiteral("/*.*") : QStringLiteral("\\*.*"));
    });
  }
  std::optional<QString> picked;
  trap.Run([&] { picked = Port().PickFile(title, filter, preset); });
  // A cancelled dialog changes nothing.
  if (!picked) return;
  if (forDocument && DocumentationSettings::HasSlot(m)) {
    settings_.References[m - 1][index] = *picked;
    SetFieldText(TextExe[index], *picked);
  } else if (forSymbol && DocumentationSettings::HasSlot(m)) {
    settings_.Symbols[m - 1][index] = *picked;
    SetFieldText(TextSymbol[index], *picked);
  } else if (forNetAddress && index <= kNetAddressCount) {
    settings_.NetAddresses[index - 1] = *picked;
    SetFieldText(TextExe[index], *picked);  // its change handler cuts the file name off
  }
}

// ---- Net address check ----

bool frm_Quorvel_Exe::CheckNetAddresses() {
  std::array<QString, kNetAddressCount> drives;
  for (int n = 1; n <= kNetAddressCount; ++n) drives[n - 1] = ComboDrive[n]->currentText();
  std::vector<int> trimmed;
  const std::optional<QString> fault =
      settings_.NetAddressFault(LabelExeHeader->text(), LabelSymbolHeader->text(), drives, trimmed);
  if (NetAddressTabSelected()) {
    for (int n : trimmed) SetFieldText(TextExe[n], settings_.NetAddresses[n - 1]);
  }
  if (!fault) return true;
  netAddressFault_ = *fault;
  if (!SilentMode) ShowMessage(*fault);
  return false;
}
