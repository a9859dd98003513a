#pragma once
// The text rules the editor's fields apply on the way into the settings.

#include <QString>
#include <QStringList>

// A net address names a folder: a trailing file name (a last part holding a point) is cut off,
// repeatedly, but never within the first three characters (\\a.b stays).
QString NetAddressFolder(const QString& text);

// One cut of NetAddressFolder: the file name and its separator, when the last point lies after the
// last separator and that separator lies beyond position 3.
QString CutFileNameOnce(const QString& text);

// The drive check: the upper-cased letter when it is one of G ... X. An empty or longer text gives X;
// a single other character gives X as well and counts as a fault the user is told about.
struct DriveCheck {
  QString drive;
  bool fault = false;
};
DriveCheck CheckDrive(const QString& text);

// The default drive of net address i (1 ... 5): T, U, V, W, X.
QString DefaultDrive(int netAddress);

// The drive letters a net address may use, G ... X.
QStringList DriveLetters();

// The folder a file dialog opens in for a preset path (a file, a folder or a folder with a pattern such
// as "*.*"): the nearest folder of the preset that exists here, never the file system's root. Windows
// separators are read as "/". A relative preset (a Windows drive path on Linux) or one of which no
// folder exists gives fallback.
QString DialogStartFolder(const QString& preset, const QString& fallback);

// True for a path on a network share (\\server\share...).
bool IsUncPath(const QString& path);
