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
    <name>DesktopWorkspace</name>
    <message>
        <location filename="../../app/gui/DesktopWorkspace.cpp" line="30"/>
        <source>“%1” could not be opened.</source>
        <translation>„%1“ konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <location filename="../../app/gui/DesktopWorkspace.cpp" line="40"/>
        <source>No mail program could be opened.</source>
        <translation>Es konnte kein E-Mail-Programm geöffnet werden.</translation>
    </message>
    <message>
        <location filename="../../app/gui/DesktopWorkspace.cpp" line="41"/>
        <source>Write to Quillbox Support at %1.</source>
        <translation>Schreiben Sie an den Quillbox-Support unter %1.</translation>
    </message>
    <message>
        <location filename="../../app/gui/DesktopWorkspace.cpp" line="43"/>
        <source>Copy Address</source>
        <translation>Adresse kopieren</translation>
    </message>
    <message>
        <location filename="../../app/gui/DesktopWorkspace.cpp" line="44"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>ExitStatus</name>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="26"/>
        <source>the library was fixed</source>
        <translation>die Mediathek wurde repariert</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="28"/>
        <source>no Quillbox library was found</source>
        <translation>es wurde keine Quillbox-Mediathek gefunden</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="30"/>
        <source>Quillbox is running</source>
        <translation>Quillbox wird ausgeführt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="32"/>
        <source>the utility&apos;s own sqlite3 shell is missing</source>
        <translation>die eigene sqlite3-Shell des Programms fehlt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="34"/>
        <source>no safety copy could be saved (library untouched)</source>
        <translation>es konnte keine Sicherheitskopie gespeichert werden (Mediathek unverändert)</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="37"/>
        <source>the library is beyond repair; it was restored from its safety copy</source>
        <translation>die Mediathek ist nicht zu reparieren; sie wurde aus ihrer Sicherheitskopie wiederhergestellt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="40"/>
        <source>the library is beyond repair and could not be restored; the safety copy stays beside it</source>
        <translation>die Mediathek ist nicht zu reparieren und konnte nicht wiederhergestellt werden; die Sicherheitskopie liegt daneben</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="44"/>
        <source>the library holds text the rebuild would cut short; it was left as it was</source>
        <translation>die Mediathek enthält Text, den der Neuaufbau abschneiden würde; sie wurde unverändert gelassen</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="47"/>
        <source>too little free space on the library&apos;s disk; nothing was changed</source>
        <translation>zu wenig freier Speicher auf dem Datenträger der Mediathek; nichts wurde verändert</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="50"/>
        <source>the library or its folder cannot be written; nothing was changed</source>
        <translation>die Mediathek oder ihr Ordner ist nicht beschreibbar; nichts wurde verändert</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="53"/>
        <source>a write failed midway; the library was put back from its safety copy</source>
        <translation>ein Schreibvorgang schlug fehl; die Mediathek wurde aus ihrer Sicherheitskopie wiederhergestellt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="56"/>
        <source>another program is repairing this library; nothing was changed</source>
        <translation>ein anderes Programm repariert diese Mediathek; nichts wurde verändert</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="59"/>
        <source>the sqlite3 shell could not start or stopped responding; the library was put back from its safety copy</source>
        <translation>die sqlite3-Shell konnte nicht starten oder reagierte nicht mehr; die Mediathek wurde aus ihrer Sicherheitskopie wiederhergestellt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="63"/>
        <source>another program has the library&apos;s database open; nothing was changed</source>
        <translation>ein anderes Programm hat die Datenbank der Mediathek geöffnet; nichts wurde verändert</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="66"/>
        <source>the library is beyond repair; its recovered copy took its place, and the damaged library stays beside it</source>
        <translation>die Mediathek ist nicht zu reparieren; ihre gerettete Kopie wurde an ihre Stelle gesetzt, und die beschädigte Mediathek bleibt daneben erhalten</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="71"/>
        <source>stopped with Ctrl+C before anything was changed</source>
        <translation>mit Strg+C angehalten, bevor etwas verändert wurde</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="84"/>
        <source>the library is healthy</source>
        <translation>die Mediathek ist in Ordnung</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="86"/>
        <source>the library is damaged, and a repair would fix it exactly</source>
        <translation>die Mediathek ist beschädigt, und eine Reparatur würde sie exakt wiederherstellen</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="89"/>
        <source>the library is damaged beyond an exact repair: a repair would refuse it and save what can be read</source>
        <translation>die Mediathek ist zu stark beschädigt für eine exakte Reparatur: eine Reparatur würde ablehnen und retten, was sich lesen lässt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="93"/>
        <source>the library&apos;s rollback journal would be rolled back by reading it, so it was not checked</source>
        <translation>das Lesen würde das Rollback-Journal der Mediathek zurückrollen, daher wurde sie nicht geprüft</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="98"/>
        <source>the sqlite3 shell could not start or stopped responding</source>
        <translation>die sqlite3-Shell konnte nicht starten oder reagierte nicht mehr</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="138"/>
        <source>as for a repair</source>
        <translation>wie bei einer Reparatur</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="158"/>
        <source>the command line was not understood</source>
        <translation>die Befehlszeile wurde nicht verstanden</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/ExitStatus.cpp" line="160"/>
        <source>(--salvage-only) no recovered copy was written</source>
        <translation>(--salvage-only) es wurde keine gerettete Kopie geschrieben</translation>
    </message>
</context>
<context>
    <name>FileTree</name>
    <message>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="91"/>
        <source>Could not write a copy of “%1”: %2</source>
        <translation>Von „%1“ konnte keine Kopie geschrieben werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="71"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="96"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="102"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="123"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="243"/>
        <source>Could not copy “%1”: %2</source>
        <translation>„%1“ konnte nicht kopiert werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="118"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="191"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="206"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="231"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="239"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="264"/>
        <source>Could not read “%1”: %2</source>
        <translation>„%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="135"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="165"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="178"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="270"/>
        <source>Could not create a copy of “%1”: %2</source>
        <translation>Von „%1“ konnte keine Kopie angelegt werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="141"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="147"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="215"/>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="220"/>
        <source>Could not set the attributes of “%1”: %2</source>
        <translation>Die Attribute von „%1“ konnten nicht gesetzt werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/TreeCopy.cpp" line="161"/>
        <source>Could not read the link “%1”: %2</source>
        <translation>Der Verweis „%1“ konnte nicht gelesen werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/FileTree.cpp" line="61"/>
        <source>Could not remove “%1”: %2</source>
        <translation>„%1“ konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/FileTree.cpp" line="96"/>
        <source>Could not move “%1”: %2</source>
        <translation>„%1“ konnte nicht verschoben werden: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/fs/FileTree.cpp" line="141"/>
        <source>Could not write “%1” to the disk in full: %2</source>
        <translation>„%1“ konnte nicht vollständig auf die Festplatte geschrieben werden: %2</translation>
    </message>
</context>
<context>
    <name>Gui</name>
    <message>
        <location filename="../../app/gui/main.cpp" line="27"/>
        <source>No display was found, so the window cannot be shown.
Run it in a desktop session, or repair the library from a terminal with quillbox-repair-cli.</source>
        <translation>Es wurde kein Bildschirm gefunden, daher kann das Fenster nicht angezeigt werden.
Starten Sie das Programm in einer Desktop-Sitzung oder reparieren Sie die Mediathek im Terminal mit quillbox-repair-cli.</translation>
    </message>
</context>
<context>
    <name>InterruptedRepair</name>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="37"/>
        <source>An earlier repair was interrupted while it put the recovered library in place.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, während sie die gerettete Mediathek an die Stelle der Mediathek setzte.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="81"/>
        <source>An earlier repair was interrupted before it changed the library.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, bevor sie die Mediathek verändert hat.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="84"/>
        <source>The library is as it was. You can start the repair again.</source>
        <translation>Die Mediathek ist unverändert. Sie können die Reparatur erneut starten.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="89"/>
        <source>An earlier repair was interrupted, so the library was put back from its safety copy.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, daher wurde die Mediathek aus ihrer Sicherheitskopie wiederhergestellt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="92"/>
        <source>The library is as it was before that repair. You can start the repair again.</source>
        <translation>Die Mediathek ist wieder so wie vor dieser Reparatur. Sie können die Reparatur erneut starten.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="49"/>
        <source>An earlier repair was interrupted, and its safety copy is missing.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, und ihre Sicherheitskopie fehlt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="52"/>
        <source>The library “%1” was left as it is.</source>
        <translation>Die Mediathek „%1“ wurde unverändert gelassen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="56"/>
        <source>An earlier repair was interrupted, and its safety copy is not as that repair made it.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, und ihre Sicherheitskopie ist nicht mehr so, wie diese Reparatur sie angelegt hat.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="59"/>
        <source>Nothing was put back: the library “%1” and the folder “%2” were left as they are.</source>
        <translation>Es wurde nichts zurückgelegt: Die Mediathek „%1“ und der Ordner „%2“ wurden unverändert gelassen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="64"/>
        <source>An earlier repair was interrupted, and the library could not be put back from its safety copy.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, und die Mediathek konnte nicht aus ihrer Sicherheitskopie wiederhergestellt werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="67"/>
        <source>The complete safety copy is at “%1”. Put it in place of the library folder by hand.</source>
        <translation>Die vollständige Sicherheitskopie liegt unter „%1“. Setzen Sie sie von Hand an die Stelle des Mediathek-Ordners.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="102"/>
        <source>An earlier repair was interrupted after the library had been rebuilt.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, nachdem die Mediathek neu aufgebaut worden war.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="105"/>
        <source>The rebuilt library was kept. Its safety copy is at “%1”.</source>
        <translation>Die neu aufgebaute Mediathek wurde behalten. Ihre Sicherheitskopie liegt unter „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="22"/>
        <source>The recovered library is in use as “%1”; the damaged library is at “%2”.</source>
        <translation>Die gerettete Mediathek wird als „%1“ verwendet; die beschädigte Mediathek liegt unter „%2“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="27"/>
        <source>The library “%1” is as it was before that repair; the recovered copy is at “%2”.</source>
        <translation>Die Mediathek „%1“ ist so wie vor dieser Reparatur; die gerettete Kopie liegt unter „%2“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="32"/>
        <source>The folders were left as they are. Look beside “%1” for the damaged library “%2” and the recovered copy “%3”.</source>
        <translation>Die Ordner wurden unverändert gelassen. Suchen Sie neben „%1“ nach der beschädigten Mediathek „%2“ und der geretteten Kopie „%3“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="114"/>
        <source>An earlier repair was interrupted, and its record cannot be read.</source>
        <translation>Eine frühere Reparatur wurde unterbrochen, und ihre Aufzeichnung kann nicht gelesen werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/InterruptedRepairReport.cpp" line="117"/>
        <source>Nothing was changed. Look beside the library folder for its safety copy, named “(Old Version)”.</source>
        <translation>Es wurde nichts verändert. Suchen Sie neben dem Mediathek-Ordner nach der Sicherheitskopie, deren Name „(Old Version)“ enthält.</translation>
    </message>
</context>
<context>
    <name>LibraryCheck</name>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="20"/>
        <source>Index “%1”: damaged. It can be rebuilt exactly from its table.</source>
        <translation>Index „%1“: beschädigt. Er lässt sich aus seiner Tabelle exakt neu aufbauen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="23"/>
        <source>Full-text index “%1”: damaged. A repair would build it anew from the text it indexes, which is intact.</source>
        <translation>Volltextindex „%1“: beschädigt. Eine Reparatur würde ihn aus dem Text, den er erschließt und der unversehrt ist, neu aufbauen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="29"/>
        <source>Table “%1”: damaged; rows are lost. A repair would refuse and save what can be read.</source>
        <translation>Tabelle „%1“: beschädigt; Zeilen sind verloren. Eine Reparatur würde ablehnen und retten, was sich lesen lässt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="42"/>
        <source>Pages that no table or index reaches still hold rows: a table lost part of its tree, or its entry in the schema. A repair would refuse and save what can be read.</source>
        <translation>Seiten, die keine Tabelle und kein Index erreicht, enthalten noch Zeilen: Eine Tabelle hat einen Teil ihres Baums oder ihren Eintrag im Schema verloren. Eine Reparatur würde ablehnen und retten, was sich lesen lässt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="48"/>
        <source>Pages that no table or index reaches hold no rows. A repair gives them back.</source>
        <translation>Seiten, die keine Tabelle und kein Index erreicht, enthalten keine Zeilen. Eine Reparatur gibt sie frei.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="53"/>
        <source>The list of free pages is damaged. A repair gives the free pages back.</source>
        <translation>Die Liste der freien Seiten ist beschädigt. Eine Reparatur gibt die freien Seiten frei.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="57"/>
        <source>SQLite&apos;s check stopped at damage it could not read past, so what lies beyond is unknown. A repair would refuse and save what can be read.</source>
        <translation>Die Prüfung von SQLite hielt an einer Beschädigung an, über die sie nicht hinauslesen konnte; was dahinter liegt, ist daher unbekannt. Eine Reparatur würde ablehnen und retten, was sich lesen lässt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="62"/>
        <source>The check found damage that it cannot place in a table or an index. A repair would refuse and save what can be read. SQLite&apos;s check said:</source>
        <translation>Die Prüfung fand Beschädigungen, die sie keiner Tabelle und keinem Index zuordnen kann. Eine Reparatur würde ablehnen und retten, was sich lesen lässt. Die Prüfung von SQLite meldete:</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="130"/>
        <source>The check changed nothing in the library.</source>
        <translation>Die Prüfung hat an der Mediathek nichts verändert.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="133"/>
        <source>The library is healthy.</source>
        <translation>Die Mediathek ist in Ordnung.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="134"/>
        <source>SQLite&apos;s check found no damage in “%1”.</source>
        <translation>Die Prüfung von SQLite fand in „%1“ keine Beschädigung.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="140"/>
        <source>The library is damaged, and a repair would fix it exactly.</source>
        <translation>Die Mediathek ist beschädigt, und eine Reparatur würde sie exakt wiederherstellen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="142"/>
        <source>Every row is still in its table, so a repair rebuilds what is damaged from them.</source>
        <translation>Jede Zeile ist noch in ihrer Tabelle, daher baut eine Reparatur das Beschädigte aus ihnen neu auf.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="162"/>
        <source>The database could not be read at all. A repair would refuse and save what can be read. The SQLite shell said:
%1</source>
        <translation>Die Datenbank konnte überhaupt nicht gelesen werden. Eine Reparatur würde ablehnen und retten, was sich lesen lässt. Die SQLite-Shell meldete:
%1</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="167"/>
        <source>The library is damaged beyond an exact repair.</source>
        <translation>Die Mediathek ist zu stark beschädigt für eine exakte Reparatur.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="169"/>
        <source>Some rows are lost or cannot be read, so a repair would refuse, leave the library as it was and save what can be read into a new folder beside it. Contact Quillbox Support for further assistance.</source>
        <translation>Einige Zeilen sind verloren oder nicht lesbar, daher würde eine Reparatur ablehnen, die Mediathek unverändert lassen und retten, was sich lesen lässt, in einen neuen Ordner daneben. Wenden Sie sich für weitere Hilfe an den Quillbox-Support.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="183"/>
        <source>The SQLite shell could not finish the check.</source>
        <translation>Die SQLite-Shell konnte die Prüfung nicht abschließen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="185"/>
        <source>Nothing in the library was changed. Try again; if it happens again, contact Quillbox Support.</source>
        <translation>An der Mediathek wurde nichts verändert. Versuchen Sie es erneut; wenn es wieder geschieht, wenden Sie sich an den Quillbox-Support.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="194"/>
        <source>The library cannot be checked.</source>
        <translation>Die Mediathek kann nicht geprüft werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="195"/>
        <source>The folder “%1” cannot be opened: %2.</source>
        <translation>Der Ordner „%1“ kann nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="215"/>
        <source>The library cannot be checked without changing it.</source>
        <translation>Die Mediathek kann nicht geprüft werden, ohne sie zu verändern.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/CheckReport.cpp" line="217"/>
        <source>“Library.sqlite-journal” in “%1” holds a change that was cut off, which the first read of the database rolls back (or deletes, if it is no journal). The check changed nothing. Repair the library, or open it in Quillbox, then check it again.</source>
        <translation>„Library.sqlite-journal“ in „%1“ enthält eine abgebrochene Änderung, die das erste Lesen der Datenbank zurückrollt (oder löscht, wenn es kein Journal ist). Die Prüfung hat nichts verändert. Reparieren Sie die Mediathek oder öffnen Sie sie in Quillbox, und prüfen Sie sie dann erneut.</translation>
    </message>
</context>
<context>
    <name>MessageBoxAlerts</name>
    <message>
        <location filename="../../app/gui/MessageBoxAlerts.cpp" line="57"/>
        <source>Quillbox Repair</source>
        <translation>Quillbox Repair</translation>
    </message>
    <message>
        <location filename="../../app/gui/MessageBoxAlerts.cpp" line="66"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>RecoveredCopy</name>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="13"/>
        <source>Quillbox is running.</source>
        <translation>Quillbox wird ausgeführt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="15"/>
        <source>Another program is using “%1”.</source>
        <translation>Ein anderes Programm verwendet „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="18"/>
        <source>The folder “%1” cannot be locked: %2.</source>
        <translation>Der Ordner „%1“ kann nicht gesperrt werden: %2.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="21"/>
        <source>The repair&apos;s record could not be written to “%1”.</source>
        <translation>Die Aufzeichnung der Reparatur konnte nicht in „%1“ geschrieben werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="30"/>
        <source>Do you want to use the recovered library now?</source>
        <translation>Möchten Sie die gerettete Mediathek jetzt verwenden?</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="32"/>
        <source>What could be read from the damaged library was saved in “%1”. If you use it, it takes the name “%2”, and the damaged library is renamed “%3” and stays beside it in “%4”. Nothing is deleted.</source>
        <translation>Was sich aus der beschädigten Mediathek lesen ließ, wurde in „%1“ gesichert. Wenn Sie diese Kopie verwenden, erhält sie den Namen „%2“, und die beschädigte Mediathek wird in „%3“ umbenannt und bleibt daneben in „%4“ erhalten. Es wird nichts gelöscht.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="39"/>
        <source>Use Recovered Library</source>
        <translation>Gerettete Mediathek verwenden</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="40"/>
        <source>Keep As It Is</source>
        <translation>Unverändert lassen</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="47"/>
        <source>The recovered library could not be put in place.</source>
        <translation>Die gerettete Mediathek konnte nicht an die Stelle der Mediathek gesetzt werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="52"/>
        <source>The recovered library is now in use.</source>
        <translation>Die gerettete Mediathek wird jetzt verwendet.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="53"/>
        <source>It has the library&apos;s name now: “%1”. The damaged library is kept as “%2”; delete it once you are sure you do not need it.</source>
        <translation>Sie trägt jetzt den Namen der Mediathek: „%1“. Die beschädigte Mediathek bleibt als „%2“ erhalten; löschen Sie sie, sobald Sie sicher sind, dass Sie sie nicht mehr brauchen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="62"/>
        <source>The library “%1” was left as it is, and the recovered copy is still at “%2”.</source>
        <translation>Die Mediathek „%1“ wurde unverändert gelassen, und die gerettete Kopie liegt weiterhin unter „%2“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RecoveredCopyReport.cpp" line="72"/>
        <source>The damaged library is now at “%1” and the recovered copy at “%2”. Give one of them the name “%3” by hand.</source>
        <translation>Die beschädigte Mediathek liegt jetzt unter „%1“ und die gerettete Kopie unter „%2“. Geben Sie einer der beiden von Hand den Namen „%3“.</translation>
    </message>
</context>
<context>
    <name>RepairReport</name>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="23"/>
        <source>The repair could not remove what it had made so far; you can delete it: %1.</source>
        <translation>Die Reparatur konnte nicht entfernen, was sie bis dahin angelegt hatte; Sie können es löschen: %1.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="36"/>
        <source>No Quillbox library was found.</source>
        <translation>Es wurde keine Quillbox-Mediathek gefunden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="37"/>
        <source>Choose the library folder and try again.</source>
        <translation>Wählen Sie den Ordner der Mediathek und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="40"/>
        <source>This folder holds no Quillbox library to repair.</source>
        <translation>Dieser Ordner enthält keine Quillbox-Mediathek, die repariert werden könnte.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="43"/>
        <source>There is no “%1” in “%2”.</source>
        <translation>In „%2“ gibt es keine Datei „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="48"/>
        <source>“%1” is not a plain file (it is a folder, a link or a device).</source>
        <translation>„%1“ ist keine gewöhnliche Datei (sondern ein Ordner, ein Verweis oder ein Gerät).</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="53"/>
        <source>“%1” is empty, so there is nothing to rebuild. Look for an older copy of your library.</source>
        <translation>„%1“ ist leer, es gibt also nichts neu aufzubauen. Suchen Sie nach einer älteren Kopie Ihrer Mediathek.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="84"/>
        <source>A repair is already running.</source>
        <translation>Es läuft bereits eine Reparatur.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="85"/>
        <source>Another Quillbox Repair is working on this library. Wait until it has finished, then try again if need be.</source>
        <translation>Ein anderes Quillbox Repair arbeitet an dieser Mediathek. Warten Sie, bis es fertig ist, und versuchen Sie es dann bei Bedarf erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="65"/>
        <source>The library cannot be changed.</source>
        <translation>Die Mediathek kann nicht geändert werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="70"/>
        <source>The folder “%1” cannot be opened: %2.</source>
        <translation>Der Ordner „%1“ kann nicht geöffnet werden: %2.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="91"/>
        <source>Quillbox is running.</source>
        <translation>Quillbox wird ausgeführt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="92"/>
        <source>Quit Quillbox and try again.</source>
        <translation>Beenden Sie Quillbox und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="95"/>
        <source>The repair tool is incomplete.</source>
        <translation>Das Reparaturprogramm ist unvollständig.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="96"/>
        <source>The SQLite shell was not found at “%1”. Reinstall Quillbox Repair and try again.</source>
        <translation>Die SQLite-Shell wurde unter „%1“ nicht gefunden. Installieren Sie Quillbox Repair neu und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="74"/>
        <source>The folder “%1” cannot be written to: %2.</source>
        <translation>In den Ordner „%1“ kann nicht geschrieben werden: %2.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="102"/>
        <source>There is not enough free space to repair the library.</source>
        <translation>Es ist nicht genug freier Speicher vorhanden, um die Mediathek zu reparieren.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="104"/>
        <source>The repair needs about %1 of free space on the library&apos;s disk, and %2 is free. Free some space and try again.</source>
        <translation>Die Reparatur braucht etwa %1 freien Speicher auf dem Datenträger der Mediathek; frei sind %2. Schaffen Sie Platz und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="116"/>
        <source>There was a problem saving a copy of the library file.</source>
        <translation>Beim Sichern einer Kopie der Mediathek-Datei ist ein Problem aufgetreten.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="123"/>
        <source>The copy could not be read back in full.</source>
        <translation>Die Kopie konnte nicht vollständig zurückgelesen werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="128"/>
        <source>The copy could not be written to the disk in full.</source>
        <translation>Die Kopie konnte nicht vollständig auf den Datenträger geschrieben werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="140"/>
        <source>The repair was canceled.</source>
        <translation>Die Reparatur wurde abgebrochen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="141"/>
        <source>Nothing in the library was changed.</source>
        <translation>An der Mediathek wurde nichts verändert.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="146"/>
        <source>Another program is using the library.</source>
        <translation>Ein anderes Programm verwendet die Mediathek.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="148"/>
        <source>Close the program that has “%1” open, then try again.</source>
        <translation>Schließen Sie das Programm, das „%1“ geöffnet hat, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="151"/>
        <source>Close the program that has “%1” open, then try again. The library was left as it is; a safety copy is at “%2”.</source>
        <translation>Schließen Sie das Programm, das „%1“ geöffnet hat, und versuchen Sie es erneut. Die Mediathek wurde unverändert gelassen; eine Sicherheitskopie liegt unter „%2“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="158"/>
        <source>The library holds text that the repair cannot carry over.</source>
        <translation>Die Mediathek enthält Text, den die Reparatur nicht übernehmen kann.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="160"/>
        <source>Some text in the library contains a NUL character, which the rebuild would cut short. The library was left as it is; a safety copy is at “%1”.</source>
        <translation>Ein Text in der Mediathek enthält ein NUL-Zeichen, an dem der Neuaufbau ihn abschneiden würde. Die Mediathek wurde unverändert gelassen; eine Sicherheitskopie liegt unter „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="211"/>
        <source>The folder “%1” cannot be locked against other programs (%2), and a repair never runs without that lock. Move the library to a drive that allows locks, or to this computer, and try again.</source>
        <translation>Der Ordner „%1“ kann nicht gegen andere Programme gesperrt werden (%2), und eine Reparatur läuft nie ohne diese Sperre. Verschieben Sie die Mediathek auf ein Laufwerk, das Sperren erlaubt, oder auf diesen Computer, und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="174"/>
        <source>The repair stopped because the disk could not be written.</source>
        <translation>Die Reparatur wurde abgebrochen, weil der Datenträger nicht beschrieben werden konnte.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="176"/>
        <source>The library&apos;s disk is full or refused a write. The library was put back from its safety copy. Free some space and try again.</source>
        <translation>Der Datenträger der Mediathek ist voll oder hat einen Schreibvorgang abgelehnt. Die Mediathek wurde aus ihrer Sicherheitskopie wiederhergestellt. Schaffen Sie Platz und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="183"/>
        <source>The repair could not start the SQLite shell.</source>
        <translation>Die Reparatur konnte die SQLite-Shell nicht starten.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="185"/>
        <source>The library was put back from its safety copy, exactly as it was. Reinstall Quillbox Repair and try again.</source>
        <translation>Die Mediathek wurde aus ihrer Sicherheitskopie zurückgelegt, genau so, wie sie war. Installieren Sie Quillbox Repair neu und versuchen Sie es erneut.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="195"/>
        <source>The SQLite shell stopped unexpectedly (killed by signal %1).</source>
        <translation>Die SQLite-Shell wurde unerwartet beendet (durch Signal %1).</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="191"/>
        <source>The library was put back from its safety copy, exactly as it was. Try again; if it happens again, contact Quillbox Support.</source>
        <translation>Die Mediathek wurde aus ihrer Sicherheitskopie zurückgelegt, genau so, wie sie war. Versuchen Sie es erneut; geschieht es wieder, wenden Sie sich an den Quillbox-Support.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="200"/>
        <source>The SQLite shell stopped responding, so the repair was stopped.</source>
        <translation>Die SQLite-Shell reagierte nicht mehr, daher wurde die Reparatur abgebrochen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="268"/>
        <source>The file system did not let the safety copy keep these extended attributes:</source>
        <translation>Das Dateisystem ließ die Sicherheitskopie diese erweiterten Attribute nicht behalten:</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="278"/>
        <source>The library “%1” is put back from its safety copy “%2”, exactly as it was before the repair.</source>
        <translation>Die Mediathek „%1“ wird aus ihrer Sicherheitskopie „%2“ zurückgelegt, genau so, wie sie vor der Reparatur war.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="285"/>
        <source>The SQLite shell said:
%1</source>
        <translation>Die SQLite-Shell meldete:
%1</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="290"/>
        <source>The library file is corrupt and cannot be repaired automatically.</source>
        <translation>Die Mediathek-Datei ist beschädigt und kann nicht automatisch repariert werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="292"/>
        <source>Contact Quillbox Support for further assistance.</source>
        <translation>Wenden Sie sich für weitere Hilfe an den Quillbox-Support.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="294"/>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="295"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="309"/>
        <source>The complete safety copy is at “%1”. Put it in place of the library folder by hand.</source>
        <translation>Die vollständige Sicherheitskopie liegt unter „%1“. Setzen Sie sie von Hand an die Stelle des Mediathek-Ordners.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="314"/>
        <source>The folder “%1” no longer holds the complete safety copy this repair made (it was changed, or another program is using it), so the library “%2” was left as it is.</source>
        <translation>Der Ordner „%1“ enthält nicht mehr die vollständige Sicherheitskopie, die diese Reparatur angelegt hat (sie wurde verändert, oder ein anderes Programm verwendet sie). Die Mediathek „%2“ wurde daher unverändert gelassen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="321"/>
        <source>The safety copy “%1” is missing, so the library was left as it is.</source>
        <translation>Die Sicherheitskopie „%1“ fehlt, daher wurde die Mediathek unverändert gelassen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="325"/>
        <source>The library could not be restored from its safety copy.</source>
        <translation>Die Mediathek konnte nicht aus ihrer Sicherheitskopie wiederhergestellt werden.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="341"/>
        <source>%1: every row and value compared with the damaged library.</source>
        <translation>%1: jede Zeile und jeder Wert mit der beschädigten Mediathek verglichen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="347"/>
        <source>The library file has been fixed!</source>
        <translation>Die Mediathek-Datei wurde repariert!</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="348"/>
        <source>The library as it was before the repair is kept in “%1”. Delete that folder once you are sure you do not need it.</source>
        <translation>Die Mediathek, wie sie vor der Reparatur war, liegt in „%1“. Löschen Sie diesen Ordner, sobald Sie sicher sind, dass Sie ihn nicht mehr brauchen.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/RepairReport.cpp" line="353"/>
        <source>Quit</source>
        <translation>Beenden</translation>
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
        <location filename="../ui/RepairWindow.ui" line="52"/>
        <source>Choose Library…</source>
        <translation>Mediathek wählen …</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="57"/>
        <source>Show in Folder</source>
        <translation>Im Ordner zeigen</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="58"/>
        <source>Open the folder that holds the library and the copies the repair made beside it.</source>
        <translation>Den Ordner öffnen, der die Mediathek und die Kopien enthält, die die Reparatur daneben angelegt hat.</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="69"/>
        <source>Check Library</source>
        <translation>Mediathek prüfen</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="70"/>
        <source>Look for damage and say what a repair would do about it, without changing the library.</source>
        <translation>Nach Beschädigungen suchen und sagen, was eine Reparatur dagegen tun würde, ohne die Mediathek zu verändern.</translation>
    </message>
    <message>
        <location filename="../ui/RepairWindow.ui" line="75"/>
        <location filename="../../app/gui/RepairWindow.cpp" line="345"/>
        <source>Repair Library</source>
        <translation>Mediathek reparieren</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="34"/>
        <source>Saving a safety copy of the library…</source>
        <translation>Sicherheitskopie der Mediathek wird gespeichert …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="36"/>
        <source>Reading the damaged database…</source>
        <translation>Die beschädigte Datenbank wird gelesen …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="38"/>
        <source>Checking that everything was read…</source>
        <translation>Es wird geprüft, ob alles gelesen wurde …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="40"/>
        <source>Rebuilding the database…</source>
        <translation>Die Datenbank wird neu aufgebaut …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="42"/>
        <source>Putting the safety copy back…</source>
        <translation>Die Sicherheitskopie wird zurückgelegt …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="85"/>
        <source>Choose the Quillbox Library</source>
        <translation>Quillbox-Mediathek wählen</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="144"/>
        <source>Canceling…</source>
        <translation>Wird abgebrochen …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="224"/>
        <source>No Quillbox library was found. Choose the library folder to repair.</source>
        <translation>Es wurde keine Quillbox-Mediathek gefunden. Wählen Sie den Ordner der Mediathek, die repariert werden soll.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="230"/>
        <source>Library: %1</source>
        <translation>Mediathek: %1</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="247"/>
        <source>Another program is repairing this library.</source>
        <translation>Ein anderes Programm repariert gerade diese Mediathek.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="262"/>
        <source>This folder is not a Quillbox library.</source>
        <translation>Dieser Ordner ist keine Quillbox-Mediathek.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="263"/>
        <source>Choose the folder that holds “Library.sqlite”.</source>
        <translation>Wählen Sie den Ordner, der „Library.sqlite“ enthält.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="280"/>
        <location filename="../../app/gui/RepairWindow.cpp" line="292"/>
        <source>The library has been repaired.</source>
        <translation>Die Mediathek wurde repariert.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="315"/>
        <source>Checking the library…</source>
        <translation>Die Mediathek wird geprüft …</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="329"/>
        <source>The folder could not be opened.</source>
        <translation>Der Ordner konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="330"/>
        <source>No file manager opened “%1”. Open it by hand.</source>
        <translation>Kein Dateimanager hat „%1“ geöffnet. Öffnen Sie ihn von Hand.</translation>
    </message>
    <message>
        <location filename="../../app/gui/RepairWindow.cpp" line="344"/>
        <source>Cancel Repair</source>
        <translation>Reparatur abbrechen</translation>
    </message>
</context>
<context>
    <name>Salvage</name>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="34"/>
        <source>%1 and %2</source>
        <translation>%1 und %2</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="40"/>
        <source>“%1”</source>
        <translation>„%1“</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="56"/>
        <source>one with id %1 whose %2 is not known</source>
        <translation>eine mit der ID %1, deren %2 nicht bekannt ist</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="59"/>
        <source>the one with id %1</source>
        <translation>die mit der ID %1</translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/core/texts/SalvageText.cpp" line="64"/>
        <source>%n more</source>
        <translation>
            <numerusform>%n weitere</numerusform>
            <numerusform>%n weitere</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/core/texts/SalvageText.cpp" line="65"/>
        <source>%n rows of “%1” lost: %2</source>
        <translation>
            <numerusform>%n Zeile von „%1“ verloren: %2</numerusform>
            <numerusform>%n Zeilen von „%1“ verloren: %2</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="76"/>
        <source>id %1: no value is known</source>
        <translation>ID %1: kein Wert bekannt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="77"/>
        <source>id %1: %2</source>
        <translation>ID %1: %2</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="85"/>
        <source>Lost items.txt</source>
        <translation>Verlorene Einträge.txt</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="90"/>
        <source>The rows the damaged library lost, with every value its indexes still hold of them.</source>
        <translation>Die Zeilen, die die beschädigte Mediathek verloren hat, mit jedem Wert, den ihre Indizes noch von ihnen enthalten.</translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/core/texts/SalvageText.cpp" line="101"/>
        <source>“%1”: %n rows lost</source>
        <translation>
            <numerusform>„%1“: %n Zeile verloren</numerusform>
            <numerusform>„%1“: %n Zeilen verloren</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location filename="../../app/core/texts/SalvageText.cpp" line="106"/>
        <source>%n more rows are not listed here.</source>
        <translation>
            <numerusform>%n weitere Zeile ist hier nicht aufgeführt.</numerusform>
            <numerusform>%n weitere Zeilen sind hier nicht aufgeführt.</numerusform>
        </translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="116"/>
        <source>There is no “Library.sqlite” in “%1”.</source>
        <translation>In „%1“ gibt es keine „Library.sqlite“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="119"/>
        <source>A repair is already running.</source>
        <translation>Es läuft bereits eine Reparatur.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="123"/>
        <source>No row could be recovered from the damaged database, so no recovered copy was made.</source>
        <translation>Aus der beschädigten Datenbank konnte keine Zeile gerettet werden, daher wurde keine gerettete Kopie angelegt.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="128"/>
        <source>The rows could not be recovered, so no recovered copy was made: %1</source>
        <translation>Die Zeilen konnten nicht gerettet werden, daher wurde keine gerettete Kopie angelegt: %1</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="136"/>
        <source>What could be read from the damaged database was saved in “%1”:</source>
        <translation>Was sich aus der beschädigten Datenbank lesen ließ, wurde in „%1“ gesichert:</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="141"/>
        <source>%1: %2 rows recovered</source>
        <translation>%1: %2 Zeilen gerettet</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="144"/>
        <source>%1: %2 rows recovered; the damaged database suggests %3</source>
        <translation>%1: %2 Zeilen gerettet; die beschädigte Datenbank lässt %3 erwarten</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="153"/>
        <source>%1 rows could not be placed in their table; they are in the table “%2”.</source>
        <translation>%1 Zeilen konnten keiner Tabelle zugeordnet werden; sie stehen in der Tabelle „%2“.</translation>
    </message>
    <message>
        <location filename="../../app/core/texts/SalvageText.cpp" line="159"/>
        <source>Every lost row, with every value its indexes still hold, is listed in “%1”.</source>
        <translation>Jede verlorene Zeile ist mit jedem Wert, den ihre Indizes noch enthalten, in „%1“ aufgeführt.</translation>
    </message>
</context>
<context>
    <name>SetLibrary</name>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="15"/>
        <source>Usage: %1 DIR</source>
        <translation>Aufruf: %1 ORDNER</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="39"/>
        <source>Records the library folder DIR in Quillbox&apos;s preferences, as Quillbox does,
so that Quillbox and Quillbox Repair find it.</source>
        <translation>Trägt den Mediathek-Ordner ORDNER in die Quillbox-Einstellungen ein, wie Quillbox es tut,
damit Quillbox und Quillbox Repair ihn finden.</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="47"/>
        <source>Try “%1 --help” for more.</source>
        <translation>Mehr dazu mit „%1 --help“.</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="50"/>
        <source>No folder was given.</source>
        <translation>Es wurde kein Ordner angegeben.</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="53"/>
        <source>Unexpected argument “%1”.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="56"/>
        <source>Unknown option “%1”.</source>
        <translation>Unbekannte Option „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="61"/>
        <source>“%1” is not a folder.</source>
        <translation>„%1“ ist kein Ordner.</translation>
    </message>
    <message>
        <location filename="../../app/tools/set_library_main.cpp" line="63"/>
        <source>“%1” cannot be written.</source>
        <translation>„%1“ kann nicht geschrieben werden.</translation>
    </message>
</context>
<context>
    <name>Terminal</name>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="59"/>
        <source>No terminal to ask: choosing “%1”.</source>
        <translation>Kein Terminal für eine Rückfrage: „%1“ wird gewählt.</translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="68"/>
        <source>Choose 1-%1: </source>
        <translation>Wählen Sie 1-%1: </translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="85"/>
        <source>Write to Quillbox Support at %1.</source>
        <translation>Schreiben Sie an den Quillbox-Support unter %1.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="76"/>
        <source>“--library” was given twice.</source>
        <translation>„--library“ wurde zweimal angegeben.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="82"/>
        <source>“--library” needs a folder after it.</source>
        <translation>Nach „--library“ fehlt der Ordner.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="86"/>
        <source>Unknown option “%1”.</source>
        <translation>Unbekannte Option „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="89"/>
        <source>Unexpected argument “%1”.</source>
        <translation>Unerwartetes Argument „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="93"/>
        <source>“--check” and “--salvage-only” cannot be given together.</source>
        <translation>„--check“ und „--salvage-only“ können nicht zusammen angegeben werden.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="115"/>
        <source>Repairs a damaged Quillbox library from the terminal.</source>
        <translation>Repariert eine beschädigte Quillbox-Mediathek im Terminal.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="101"/>
        <source>--salvage-only needs --library DIR.</source>
        <translation>--salvage-only braucht --library DIR.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="97"/>
        <source>“--use-recovered” goes with a repair, not with “--check” or “--salvage-only”.</source>
        <translation>„--use-recovered“ gehört zu einer Reparatur, nicht zu „--check“ oder „--salvage-only“.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="107"/>
        <source>Usage: %1 [--check | --salvage-only | --use-recovered] [--library DIR]</source>
        <translation>Aufruf: %1 [--check | --salvage-only | --use-recovered] [--library ORDNER]</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="118"/>
        <source>Options:
  --library DIR   repair the library folder DIR instead of the one
                  in Quillbox&apos;s preferences
  --check         only look for damage and say what a repair
                  would do about it; the library is not changed
  --salvage-only  only save what can be saved of the database of
                  the library DIR into a new folder beside it,
                  without a repair; the library is not changed
  --use-recovered when the library is beyond repair, put the copy
                  the repair recovered in its place without
                  asking; the damaged library stays beside it
  -h, --help      show this help
  --version       show the version</source>
        <translation>Optionen:
  --library ORDNER  den Mediathek-Ordner ORDNER statt des in den
                    Quillbox-Einstellungen genannten reparieren
  --check           nur nach Beschädigungen suchen und sagen, was eine
                    Reparatur dagegen tun würde; die Mediathek wird
                    nicht verändert
  --salvage-only    nur retten, was sich aus der Datenbank der Mediathek
                    ORDNER retten lässt, in einen neuen Ordner daneben,
                    ohne Reparatur; die Mediathek wird nicht verändert
  --use-recovered   wenn die Mediathek nicht zu reparieren ist, die
                    gerettete Kopie ohne Rückfrage an ihre Stelle setzen;
                    die beschädigte Mediathek bleibt daneben erhalten
  -h, --help        diese Hilfe anzeigen
  --version         die Version anzeigen</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="132"/>
        <source>Exit status:</source>
        <translation>Exit-Status:</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="134"/>
        <source>Ctrl+C stops the repair while it copies and reads the library, leaving it as it was; once the damaged database is replaced, the repair runs to its end.</source>
        <translation>Strg+C hält die Reparatur an, solange sie die Mediathek kopiert und liest, und lässt sie unverändert; sobald die beschädigte Datenbank ersetzt wird, läuft die Reparatur bis zum Ende.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="139"/>
        <source>Exit status with --check (the library is never changed):</source>
        <translation>Exit-Status mit --check (die Mediathek wird nie verändert):</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="157"/>
        <source>No Quillbox library was found.</source>
        <translation>Es wurde keine Quillbox-Mediathek gefunden.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="160"/>
        <source>There is no folder “%1”.</source>
        <translation>Es gibt keinen Ordner „%1“.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="162"/>
        <source>“%1” is a file, not a folder.</source>
        <translation>„%1“ ist eine Datei, kein Ordner.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="229"/>
        <source>Stopping: the repair stops if the library is still as it was, and otherwise finishes first.</source>
        <translation>Anhalten: Die Reparatur hält an, wenn die Mediathek noch unverändert ist, und wird sonst erst zu Ende geführt.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="242"/>
        <source>Stopping the check.</source>
        <translation>Die Prüfung wird angehalten.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="266"/>
        <source>Name the library folder with --library DIR.</source>
        <translation>Geben Sie den Mediathek-Ordner mit --library ORDNER an.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="268"/>
        <source>Give --library the folder that holds “Library.sqlite”.</source>
        <translation>Geben Sie --library den Ordner an, der „Library.sqlite“ enthält.</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="297"/>
        <source>Try “%1 --help” for more.</source>
        <translation>Mehr dazu mit „%1 --help“.</translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="98"/>
        <source>Library: %1</source>
        <translation>Mediathek: %1</translation>
    </message>
    <message>
        <location filename="../../app/cli/TerminalAlerts.cpp" line="23"/>
        <source>Repairing…</source>
        <translation>Reparatur …</translation>
    </message>
    <message>
        <location filename="../../app/cli/main.cpp" line="223"/>
        <source>For help, write to %1.</source>
        <translation>Hilfe erhalten Sie unter %1.</translation>
    </message>
</context>
</TS>
