#!/usr/bin/env bash
# Packs the cross-built Windows program as a zip of its program folder: the program, its window module,
# its settings INI, and the DLLs they load (Qt, its platform plugin and German and English texts,
# SQLite, the MinGW runtime). The list is our own, as windeployqt is not built for Linux hosts.
# Called by tools/windows-test.sh.
#
#   tools/windows-package.sh WINDOWS_BUILD QT_PREFIX SQLITE_PREFIX GCC_RUNTIME PTHREAD_RUNTIME
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd) qt=$2 sqlite=$3 gcc_runtime=$4 pthread_runtime=$5

stage=$build/package/Documentation_Config
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/translations"
cp "$build/Documentation_Config.exe" "$build/Documentation_Config_window.dll" "$stage/"
cp "$repo/packaging/Documentation_Config.ini" "$stage/"
for dll in Qt6Core Qt6Gui Qt6Widgets; do cp "$qt/bin/$dll.dll" "$stage/"; done
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
[ -f "$qt/plugins/styles/qwindowsvistastyle.dll" ] && cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"
rmdir "$stage/styles" 2>/dev/null || true
cp "$sqlite/bin/sqlite3.dll" "$stage/"
cp "$gcc_runtime/libstdc++-6.dll" "$gcc_runtime/libgcc_s_seh-1.dll" "$pthread_runtime/libwinpthread-1.dll" "$stage/"
# Qt's own texts for the window's boxes and file dialog (the program's texts come from the language INI).
for language in de en; do
  qm=/usr/share/qt6/translations/qtbase_$language.qm
  [ -f "$qm" ] && cp "$qm" "$stage/translations/"
done
# Qt looks for its plugins and texts relative to the program's folder.
printf '[Paths]\r\nPrefix=.\r\nPlugins=.\r\nTranslations=translations\r\n' > "$stage/qt.conf"

# Every DLL that a module of the folder imports is in the folder or a part of Windows.
missing=0
for module in "$stage"/*.exe "$stage"/*.dll "$stage"/platforms/*.dll; do
  for import in $(x86_64-w64-mingw32-objdump -p "$module" | sed -n 's/^\s*DLL Name: //p'); do
    [ -f "$stage/$import" ] && continue
    case "${import,,}" in
      kernel32.dll|user32.dll|gdi32.dll|advapi32.dll|shell32.dll|ole32.dll|oleaut32.dll|comdlg32.dll|\
      ws2_32.dll|winmm.dll|imm32.dll|uxtheme.dll|dwmapi.dll|version.dll|netapi32.dll|userenv.dll|\
      mpr.dll|msvcrt.dll|shlwapi.dll|setupapi.dll|wtsapi32.dll|d3d9.dll|dxgi.dll|d3d11.dll|\
      authz.dll|comctl32.dll|shcore.dll|api-ms-win-*) ;;
      *) echo "  $(basename "$module") needs $import, which is not in the program folder"; missing=1 ;;
    esac
  done
done
[ "$missing" -eq 0 ] || exit 1

zip_file=$build/Documentation_Config-windows-x86_64.zip
rm -f "$zip_file"
(cd "$build/package" && zip -qr -X "$zip_file" Documentation_Config)
echo "Windows program: $zip_file ($(du -h "$zip_file" | cut -f1))"
