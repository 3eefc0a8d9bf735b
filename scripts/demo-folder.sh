#!/usr/bin/env bash
# Lays out a demo program folder: the program, its libraries, the sample driver under several
# family file names in the comparison and reference folders, a configuration naming them and a
# device database with a demo family, models and scripts. Usage: demo-folder.sh <folder> <bin>.
# The program and libraries are refreshed every time; the configuration and the database are
# made only when missing, so a tester's changes survive the next start.
set -euo pipefail
folder=$1
bin=$2
mkdir -p "$folder/Data" "$folder/Drivers/Compare" "$folder/Drivers/Reference"
for file in Vellbrook.exe Scintilla.dll Lexilla.dll Latchwire.dll; do
    cp -f "$bin/$file" "$folder/$file"
done
for family in FAM01 FAM03 FAM05 FAM09; do
    cp -f "$bin/sample_driver.dll" "$folder/Drivers/Compare/$family.PRN"
    cp -f "$bin/sample_driver.dll" "$folder/Drivers/Reference/$family.PRN"
done

# The program reads Windows paths: Wine shows the Unix root as drive Z:.
windows_path() { printf 'Z:%s\\' "$(cd "$1" && pwd)" | tr '/' '\\'; }

ini="$folder/Vellbrook.ini"
if [ ! -f "$ini" ]; then
    printf '[GENERAL]\r\nPrnFolder=%s\r\nPrnFolderRef=%s\r\nDriverName=FAM01 (Demo labels)\r\nOutput=FILE\r\nScripts=[#GLOBAL_SCRIPT][HELLO LABEL][SHAPES][ROTATED TEXT]\r\n' \
        "$(windows_path "$folder/Drivers/Compare")" "$(windows_path "$folder/Drivers/Reference")" >"$ini"
fi

# The program adds the global script on its first start. Script texts are stored with their
# line ends written as \r\n, as the program stores them.
db="$folder/Data/Data.mdb"
if [ ! -f "$db" ]; then
    sqlite3 "$db.new" >/dev/null <<'SQL'
PRAGMA journal_mode=DELETE;
BEGIN;
CREATE TABLE [DRIVER_FAMILIES] ([KEY] TEXT NOT NULL,[NAME] TEXT NOT NULL);
CREATE TABLE [DRIVER_MODELS] ([KEY] TEXT NOT NULL,[NAME] TEXT NOT NULL,[CATALOG] TEXT,[REFS] INTEGER NOT NULL);
CREATE TABLE [SCRIPTS] ([KEY] INTEGER NOT NULL,[NAME] TEXT NOT NULL,[DATA] TEXT);
INSERT INTO DRIVER_FAMILIES VALUES ('FAM01', 'Demo labels'), ('FAM05', 'Demo piped');
INSERT INTO DRIVER_MODELS VALUES
    ('FAM01', 'LX-200', 'LX-200: 203 dpi desktop printer', 0),
    ('FAM01', 'LX-300 COLOR', 'LX-300: 300 dpi colour printer', 0),
    ('FAM01', 'LX-400 RFID', 'LX-400: 300 dpi printer with RFID encoder', 0),
    ('FAM05', 'PX-100', 'PX-100: piped output', 0);
INSERT INTO SCRIPTS VALUES
    (1, 'Hello label', ''' One trace line per model\r\nMe.Trace "Hello from " & Me.ComputerName\r\n'),
    (2, 'Stop check', 'If Me.StopProcess Then\r\n    Me.Trace "Stopped"\r\nElse\r\n    Me.Trace "Running"\r\nEnd If\r\n'),
    (3, 'Output path', 'Me.Trace "Program folder: " & Me.AppPath\r\n'),
    (4, 'Shapes', 'Driver.StartDoc\r\nDriver.StartPage\r\nDriver.SelectPen 30, 255\r\nDriver.SelectBrush 65280\r\nDriver.Rectangle 100, 200, 1100, 1200\r\nDriver.Ellipse 0, 0, 2540, 1270\r\nDriver.EndPage\r\nDriver.EndDoc\r\n'),
    (5, 'Rotated text', ''' Uncomment the next line for a comparison after a snapshot: its rows then fail.\r\n'' Driver.SetParameter "Variant", "1"\r\nDim font, rotation\r\nDriver.StartDoc\r\nFor Each rotation In Array(0, 900, 1800, 2700)\r\n  Set font = Driver.GetFont("Label Mono")\r\n  font.Rotation = rotation\r\n  Driver.SelectFont font\r\n  Driver.TextOut 1000, 2000, "AB", 0\r\nNext\r\nDriver.EndDoc\r\n'),
    (6, 'Wait for Stop', ''' Runs until Stop is pressed, or for a minute.\r\nDim start\r\nstart = Timer\r\nDo Until Me.StopProcess\r\n    If Timer - start > 60 Then Exit Do\r\nLoop\r\nMe.Trace "Stopped: " & Me.StopProcess\r\n');
COMMIT;
SQL
    mv "$db.new" "$db"
fi
