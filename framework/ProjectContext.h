#pragma once
// What one run knows about itself and its project: where the program lies, how it was started, its
// error handler and user port, and the project's configuration. Built once at start-up and passed down
// to every part of the program; nothing of it lives in module variables.

#include "framework/CommandLine.h"
#include "framework/ErrorHandling.h"
#include "framework/ProgramLocation.h"
#include "framework/UserPort.h"

#include <QString>
#include <QStringList>

#include <array>

// Only machines 1 ... 5 of the machine list take part in the documentation.
inline constexpr int kMachineSlots = 5;

// Files of the installation found at start-up (empty when missing).
struct ProjectFiles {
  QString hostIni;     // parameter/qvzconfiguration.ini of the host configuration program
  QString programIni;  // the program INI read at start-up (in integrated mode the host's copy)
  QString cfg;         // the component's CFG file
};

// The project's configuration, read at start-up and only read afterwards.
struct ProjectConfiguration {
  QStringList machines;                          // machine m is machines[m - 1]
  QString validMachines;                         // CFG [Project] ValidMachines (integrated mode)
  std::array<bool, kMachineSlots> forMachine{};  // CFG [Project] ForMachine1 ... 5 (otherwise)
  bool useVWFD = false;                          // program INI [Project] VWFD: the project uses the editor
  bool vwStudio = false;                         // program INI [Project] VWStudio: VisiWin Studio names
  QString additionalFields;                      // CFG [Project] DataBaseAdditionalFields
  QString machineListProblem;                    // why the machine list is empty (empty when it is not)
};

class ProjectContext {
 public:
  ProjectContext(ProgramLocation location_, StartMode mode_, UserPort& port_)
      : location(std::move(location_)), mode(std::move(mode_)), port(port_), errors(location, mode, port) {}
  ProjectContext(const ProjectContext&) = delete;
  ProjectContext& operator=(const ProjectContext&) = delete;

  // Machine m (counted from 1); empty outside the list.
  QString ExistingMachine(int m) const;
  // Whether machine m takes part in the documentation: in integrated mode when ValidMachines is "ALL"
  // or holds the machine's name anywhere (without regard to case), otherwise by ForMachine<m>.
  bool MachineTakesPart(int m) const;

  const ProgramLocation location;
  const StartMode mode;
  UserPort& port;
  ErrorHandling errors;
  ProjectFiles files;
  ProjectConfiguration project;
};
