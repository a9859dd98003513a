#pragma once
// Platform rules for paths: the native separator, separators in paths read from INI files, and finding
// files of projects that come from Windows, whose names may differ in case.

#include <QString>

// The separator used to build paths ("\" on Windows, "/" elsewhere).
QString Sep();
// True when the text ends in "\" or "/".
bool EndsInSeparator(const QString& path);
// A path read from an INI file or the command line, with "\" turned into the native separator.
QString NativePath(const QString& path);

// The existing regular file for a path: the path itself when it exists, else the path whose
// components match without regard to case; empty when there is none. With within (a folder that exists
// as spelled, such as the installation's base folder), only the components below it are matched
// without regard to case.
QString FindExistingFile(const QString& path, const QString& within = {});
// True when a regular file exists at the path (with the case-insensitive fallback).
bool FileExists(const QString& path, const QString& within = {});
// The existing file for the path, or the path as spelled when there is none (for files to be created).
QString ExistingOrAsSpelled(const QString& path, const QString& within = {});
