<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BFExtensions</name>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="23"/>
        <source>%ld day remaining</source>
        <translation>noch %ld Tag</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="24"/>
        <source>%ld days remaining</source>
        <translation>noch %ld Tage</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="25"/>
        <source>%ld hour remaining</source>
        <translation>noch %ld Stunde</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="26"/>
        <source>%ld hours remaining</source>
        <translation>noch %ld Stunden</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="27"/>
        <source>%ld minute remaining</source>
        <translation>noch %ld Minute</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="28"/>
        <source>%ld minutes remaining</source>
        <translation>noch %ld Minuten</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="32"/>
        <source>%ld second remaining</source>
        <translation>noch %ld Sekunde</translation>
    </message>
    <message>
        <location filename="../../strings/TimeRemaining.cpp" line="33"/>
        <source>%ld seconds remaining</source>
        <translation>noch %ld Sekunden</translation>
    </message>
</context>
<context>
    <name>FileTree</name>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="69"/>
        <source>Could not write a copy of “%1”: %2</source>
        <translation>Von „%1“ konnte keine Kopie geschrieben werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="75"/>
        <location filename="../../app/core/FileTree.cpp" line="135"/>
        <location filename="../../app/core/FileTree.cpp" line="226"/>
        <source>Could not copy “%1”: %2</source>
        <translation>„%1“ konnte nicht kopiert werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="90"/>
        <location filename="../../app/core/FileTree.cpp" line="128"/>
        <location filename="../../app/core/FileTree.cpp" line="145"/>
        <location filename="../../app/core/FileTree.cpp" line="158"/>
        <location filename="../../app/core/FileTree.cpp" line="224"/>
        <source>Could not read “%1”: %2</source>
        <translation>„%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="94"/>
        <location filename="../../app/core/FileTree.cpp" line="117"/>
        <location filename="../../app/core/FileTree.cpp" line="142"/>
        <source>Could not create “%1”: %2</source>
        <translation>„%1“ konnte nicht angelegt werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="101"/>
        <location filename="../../app/core/FileTree.cpp" line="166"/>
        <source>Could not set the attributes of “%1”: %2</source>
        <translation>Die Attribute von „%1“ konnten nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="113"/>
        <source>Could not read the link “%1”: %2</source>
        <translation>Der Verweis „%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/FileTree.cpp" line="245"/>
        <source>Could not move “%1”: %2</source>
        <translation>„%1“ konnte nicht verschoben werden: %2</translation>
    </message>
</context>
<context>
    <name>QBAppDelegate</name>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="66"/>
        <source>No Quillbox library was found.</source>
        <translation>Es wurde keine Quillbox-Mediathek gefunden.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="67"/>
        <source>Choose the library folder and try again.</source>
        <translation>Wählen Sie den Ordner der Mediathek und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="75"/>
        <source>Quillbox is running.</source>
        <translation>Quillbox wird ausgeführt.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="76"/>
        <source>Quit Quillbox and try again.</source>
        <translation>Beenden Sie Quillbox und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="82"/>
        <source>The repair tool is incomplete.</source>
        <translation>Das Reparaturprogramm ist unvollständig.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="83"/>
        <source>The SQLite shell was not found at “%1”. Reinstall Quillbox Repair and try again.</source>
        <translation>Die SQLite-Shell wurde unter „%1“ nicht gefunden. Installieren Sie Quillbox Repair neu und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="118"/>
        <source>The library file has been fixed!</source>
        <translation>Die Mediathek-Datei wurde repariert!</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="120"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="140"/>
        <source>The folder “%1” cannot be written to.</source>
        <translation>In den Ordner „%1“ kann nicht geschrieben werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="156"/>
        <source>There was a problem saving a copy of the library file.</source>
        <translation>Beim Sichern einer Kopie der Mediathek-Datei ist ein Problem aufgetreten.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="200"/>
        <source>The library file is corrupt and cannot be repaired automatically.</source>
        <translation>Die Mediathek-Datei ist beschädigt und kann nicht automatisch repariert werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="202"/>
        <source>Contact Quillbox Support for further assistance.</source>
        <translation>Wenden Sie sich für weitere Hilfe an den Quillbox-Support.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="204"/>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="205"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="218"/>
        <source>The library could not be restored from its safety copy.</source>
        <translation>Die Mediathek konnte nicht aus ihrer Sicherheitskopie wiederhergestellt werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="225"/>
        <source>The complete safety copy is at “%1”. Put it in place of the library folder by hand.</source>
        <translation>Die vollständige Sicherheitskopie liegt unter „%1“. Setzen Sie sie von Hand an die Stelle des Mediathek-Ordners.</translation>
    </message>
    <message>
        <location filename="../../app/core/LibraryRepair.cpp" line="230"/>
        <source>The safety copy “%1” is missing, so the library was left as it is.</source>
        <translation>Die Sicherheitskopie „%1“ fehlt, daher wurde die Mediathek unverändert gelassen.</translation>
    </message>
    <message>
        <location filename="../../app/gui/MessageBoxAlerts.cpp" line="31"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>RepairWindow</name>
    <message>
        <location filename="../ui/RepairWindow.ui" line="9"/>
        <source>Quillbox Library Repair</source>
        <translation>Quillbox-Mediathek reparieren</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="15"/>
        <source>This utility rebuilds a damaged Quillbox library. A safety copy of the library is saved beside it first.</source>
        <translation>Dieses Programm baut eine beschädigte Quillbox-Mediathek neu auf. Zuvor wird daneben eine Sicherheitskopie der Mediathek gespeichert.</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="48"/>
        <source>Choose Library…</source>
        <translation>Mediathek wählen …</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="58"/>
        <source>Repair Library</source>
        <translation>Mediathek reparieren</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="27"/>
        <source>Saving a safety copy of the library…</source>
        <translation>Sicherheitskopie der Mediathek wird gespeichert …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="29"/>
        <source>Reading the damaged database…</source>
        <translation>Die beschädigte Datenbank wird gelesen …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="31"/>
        <source>Checking that everything was read…</source>
        <translation>Es wird geprüft, ob alles gelesen wurde …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="33"/>
        <source>Rebuilding the database…</source>
        <translation>Die Datenbank wird neu aufgebaut …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="35"/>
        <source>Putting the safety copy back…</source>
        <translation>Die Sicherheitskopie wird zurückgelegt …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="69"/>
        <source>Choose the Quillbox Library</source>
        <translation>Quillbox-Mediathek wählen</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="110"/>
        <source>No Quillbox library was found. Choose the library folder to repair.</source>
        <translation>Es wurde keine Quillbox-Mediathek gefunden. Wählen Sie den Ordner der Mediathek, die repariert werden soll.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="114"/>
        <source>Library: %1</source>
        <translation>Mediathek: %1</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="126"/>
        <source>This folder is not a Quillbox library.</source>
        <translation>Dieser Ordner ist keine Quillbox-Mediathek.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="127"/>
        <source>Choose the folder that holds “Library.sqlite”.</source>
        <translation>Wählen Sie den Ordner, der „Library.sqlite“ enthält.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="148"/>
        <source>The library has been repaired.</source>
        <translation>Die Mediathek wurde repariert.</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="30"/>
        <source>No terminal to ask: choosing “%1”.</source>
        <translation>Kein Terminal für eine Rückfrage: „%1“ wird gewählt.</translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="39"/>
        <source>Choose 1-%1: </source>
        <translation>Wählen Sie 1-%1: </translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="54"/>
        <source>Write to us at: %1</source>
        <translation>Schreiben Sie uns: %1</translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="63"/>
        <source>No Quillbox library was found.</source>
        <translation>Es wurde keine Quillbox-Mediathek gefunden.</translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="64"/>
        <source>Library: %1</source>
        <translation>Mediathek: %1</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="53"/>
        <source>Repairs a damaged Quillbox library from the terminal.

Exit status:
  0  the library was fixed
  1  the command line was not understood
  2  no Quillbox library was found
  3  Quillbox is running
  4  the utility&apos;s own sqlite3 shell is missing
  5  no safety copy could be saved (library untouched)
  6  the library is beyond repair; it was restored from its safety copy
  7  the library is beyond repair and could not be restored; the safety copy stays beside it</source>
        <translation>Repariert eine beschädigte Quillbox-Mediathek im Terminal.

Exit-Status:
  0  die Mediathek wurde repariert
  1  die Befehlszeile wurde nicht verstanden
  2  es wurde keine Quillbox-Mediathek gefunden
  3  Quillbox wird ausgeführt
  4  die eigene sqlite3-Shell des Programms fehlt
  5  es konnte keine Sicherheitskopie gespeichert werden (Mediathek unverändert)
  6  die Mediathek ist nicht zu reparieren; sie wurde aus ihrer Sicherheitskopie wiederhergestellt
  7  die Mediathek ist nicht zu reparieren und konnte nicht wiederhergestellt werden; die Sicherheitskopie liegt daneben</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="68"/>
        <source>Repair the library folder DIR instead of the one in Quillbox&apos;s preferences.</source>
        <translation>Den Mediathek-Ordner DIR statt des in den Quillbox-Einstellungen genannten reparieren.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="75"/>
        <source>Unexpected argument.</source>
        <translation>Unerwartetes Argument.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="100"/>
        <source>Repairing…</source>
        <translation>Reparatur …</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="109"/>
        <source>For help, write to %1.</source>
        <translation>Hilfe erhalten Sie unter %1.</translation>
    </message>
</context>
</TS>
