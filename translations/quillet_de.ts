<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>AboutSection</name>
    <message>
        <location filename="../src/ui/settings/AboutSection.cpp" line="+17"/>
        <source>Check for Updates…</source>
        <translation>Nach Aktualisierungen suchen …</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Screenshots + clipboard history, all on this computer.
No telemetry — only an anonymous update check.</source>
        <translation>Bildschirmfotos und Zwischenablage-Verlauf, alles auf diesem Rechner.
Keine Telemetrie – nur eine anonyme Suche nach Aktualisierungen.</translation>
    </message>
    <message>
        <location line="+39"/>
        <source>This desktop</source>
        <translation>Diese Arbeitsumgebung</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>not available</source>
        <translation>nicht verfügbar</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>Version %1</source>
        <translation>Version %1</translation>
    </message>
</context>
<context>
    <name>AppDelegate</name>
    <message>
        <location filename="../src/app/AppDelegate.cpp" line="+103"/>
        <location line="+66"/>
        <source>Settings…</source>
        <translation>Einstellungen …</translation>
    </message>
    <message>
        <location line="-65"/>
        <location line="+68"/>
        <source>Check for Updates…</source>
        <translation>Nach Aktualisierungen suchen …</translation>
    </message>
    <message>
        <location line="-67"/>
        <location line="+70"/>
        <source>Quit Quillet</source>
        <translation>Quillet beenden</translation>
    </message>
    <message>
        <location line="-48"/>
        <source>Quillet is running</source>
        <translation>Quillet läuft</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>This desktop shows no tray icons. Open Quillet again with the shortcut or &quot;quillet --show-panel&quot;.</source>
        <translation>Diese Arbeitsumgebung zeigt keine Symbole im Systembereich an. Öffnen Sie Quillet erneut mit dem Tastenkürzel oder mit „quillet --show-panel“.</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Clipboard history could not be read</source>
        <translation>Der Zwischenablage-Verlauf konnte nicht gelesen werden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quillet started a new history and kept the damaged one as %1.</source>
        <translation>Quillet hat einen neuen Verlauf begonnen und den beschädigten als %1 aufbewahrt.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Quillet cannot save its data</source>
        <translation>Quillet kann seine Daten nicht speichern</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Writing %1 (%2) failed: %3. Quillet goes on, but what it cannot write is not kept; free some disk space or check the folder&apos;s permissions.</source>
        <translation>Schreiben von %1 (%2) fehlgeschlagen: %3. Quillet läuft weiter, behält aber nicht, was es nicht schreiben kann. Geben Sie Speicherplatz frei oder prüfen Sie die Berechtigungen des Ordners.</translation>
    </message>
</context>
<context>
    <name>CapabilityReport</name>
    <message>
        <location filename="../src/platform/CapabilityReport.cpp" line="+23"/>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Source application</source>
        <translation>Quellanwendung</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Paste directly</source>
        <translation>Direkt einfügen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Global shortcut</source>
        <translation>Globales Tastenkürzel</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tray icon</source>
        <translation>Symbol im Systembereich</translation>
    </message>
    <message>
        <location line="+35"/>
        <source>The desktop&apos;s status area shows Quillet&apos;s paperclip.</source>
        <translation>Der Statusbereich der Arbeitsumgebung zeigt die Büroklammer von Quillet.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>The desktop&apos;s system tray shows Quillet&apos;s paperclip.</source>
        <translation>Der Systembereich der Arbeitsumgebung zeigt die Büroklammer von Quillet.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>This desktop shows no tray icons: Quillet opens its panel at start instead, and &quot;quillet --show-panel&quot; opens it again.</source>
        <translation>Diese Arbeitsumgebung zeigt keine Symbole im Systembereich an: Quillet öffnet stattdessen beim Start sein Fenster, und „quillet --show-panel“ öffnet es erneut.</translation>
    </message>
    <message>
        <location line="+26"/>
        <source>yes, through %1</source>
        <translation>ja, über %1</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <location filename="../src/platform/dbus/PortalHotKeys.cpp" line="+90"/>
        <source>This desktop gives Quillet no global shortcut: bind a key to &quot;quillet --toggle-picker&quot; in the desktop&apos;s own keyboard settings.</source>
        <translation>Diese Arbeitsumgebung gibt Quillet kein globales Tastenkürzel: Legen Sie in den Tastatureinstellungen der Arbeitsumgebung eine Taste für „quillet --toggle-picker“ fest.</translation>
    </message>
    <message>
        <location filename="../src/platform/HotKeyBackend.cpp" line="+18"/>
        <source>Under Wayland the desktop passes keys to Quillet only while one of its windows has focus: bind a key to &quot;quillet --toggle-picker&quot; in the desktop&apos;s own keyboard settings instead.</source>
        <translation>Unter Wayland erhält Quillet Tasten nur, solange eines seiner Fenster den Fokus hat: Legen Sie stattdessen in den Tastatureinstellungen der Arbeitsumgebung eine Taste für „quillet --toggle-picker“ fest.</translation>
    </message>
    <message>
        <location filename="../src/platform/null/NullPlatform.cpp" line="+82"/>
        <source>Quillet runs without a window system here, so it cannot listen for shortcuts.</source>
        <translation>Quillet läuft hier ohne Fenstersystem und kann daher keine Tastenkürzel empfangen.</translation>
    </message>
    <message>
        <location line="+14"/>
        <source>No window system is running, so Quillet sees no clipboard.</source>
        <translation>Es läuft kein Fenstersystem, daher sieht Quillet keine Zwischenablage.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No window system is running, so no application is known.</source>
        <translation>Es läuft kein Fenstersystem, daher ist keine Anwendung bekannt.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No window system is running, so nothing can be pasted.</source>
        <translation>Es läuft kein Fenstersystem, daher kann nichts eingefügt werden.</translation>
    </message>
    <message>
        <location filename="../src/platform/wayland/WaylandPlatform.cpp" line="+83"/>
        <source>The compositor lets Quillet read the clipboard and keep it when the application that copied quits.</source>
        <translation>Der Compositor lässt Quillet die Zwischenablage lesen und sie behalten, wenn die Anwendung, die kopiert hat, beendet wird.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>The compositor names the window that was active.</source>
        <translation>Der Compositor nennt das Fenster, das aktiv war.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The compositor keeps its window list to itself: copies are recorded without their application, and excluded applications cannot apply.</source>
        <translation>Der Compositor gibt seine Fensterliste nicht preis: Kopien werden ohne ihre Anwendung aufgezeichnet, und ausgeschlossene Anwendungen können nicht berücksichtigt werden.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Quillet types Ctrl+V into the application you came from once it is active again.</source>
        <translation>Quillet tippt Strg+V in die Anwendung, aus der Sie kamen, sobald sie wieder aktiv ist.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>This compositor lets no application type into another, so Quillet only copies the item.</source>
        <translation>Dieser Compositor lässt keine Anwendung in eine andere tippen, daher kopiert Quillet den Eintrag nur.</translation>
    </message>
    <message>
        <location line="+4"/>
        <location filename="../src/platform/x11/X11Platform.cpp" line="+71"/>
        <source>The desktop tells Quillet when its shortcut is pressed.</source>
        <translation>Die Arbeitsumgebung meldet Quillet, wenn sein Tastenkürzel gedrückt wird.</translation>
    </message>
    <message>
        <location filename="../src/platform/x11/X11Platform.cpp" line="-25"/>
        <source>The compositor shares the clipboard of Wayland applications with X11 ones, where Quillet reads and keeps it.</source>
        <translation>Der Compositor teilt die Zwischenablage der Wayland-Anwendungen mit X11-Anwendungen; dort liest und behält Quillet sie.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Quillet reads the clipboard and keeps it when the application that copied quits.</source>
        <translation>Quillet liest die Zwischenablage und behält sie, wenn die Anwendung, die kopiert hat, beendet wird.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Only X11 windows are seen: a copy made in a Wayland window is recorded without its application.</source>
        <translation>Nur X11-Fenster sind sichtbar: Eine Kopie aus einem Wayland-Fenster wird ohne ihre Anwendung aufgezeichnet.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>The window manager names the active window.</source>
        <translation>Die Fensterverwaltung nennt das aktive Fenster.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Only X11 applications receive the keystroke; in Wayland ones the item is copied and you paste it yourself.</source>
        <translation>Nur X11-Anwendungen erhalten den Tastendruck; in Wayland-Anwendungen wird der Eintrag kopiert und Sie fügen ihn selbst ein.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quillet presses Ctrl+V in the application you came from.</source>
        <translation>Quillet drückt Strg+V in der Anwendung, aus der Sie kamen.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>The X server has no XTEST extension, so Quillet only copies the item.</source>
        <translation>Der X-Server hat keine XTEST-Erweiterung, daher kopiert Quillet den Eintrag nur.</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>Quillet grabs the key on the X server.</source>
        <translation>Quillet belegt die Taste auf dem X-Server.</translation>
    </message>
</context>
<context>
    <name>ClipFilter</name>
    <message>
        <location filename="../src/ui/panel/ClipFilter.cpp" line="+64"/>
        <source>PINNED</source>
        <translation>ANGEHEFTET</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>HISTORY</source>
        <translation>VERLAUF</translation>
    </message>
</context>
<context>
    <name>ClipListView</name>
    <message>
        <location filename="../src/ui/panel/ClipListView.cpp" line="+29"/>
        <source>Clipboard history</source>
        <translation>Zwischenablage-Verlauf</translation>
    </message>
    <message>
        <location line="+244"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Preview</source>
        <translation>Vorschau</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Quick Look</source>
        <translation>Schnellansicht</translation>
    </message>
    <message>
        <location line="+3"/>
        <location line="+25"/>
        <source>Unpin</source>
        <translation>Lösen</translation>
    </message>
    <message>
        <location line="-25"/>
        <location line="+25"/>
        <source>Pin</source>
        <translation>Anheften</translation>
    </message>
    <message>
        <location line="-23"/>
        <location line="+21"/>
        <source>Delete</source>
        <translation>Löschen</translation>
    </message>
</context>
<context>
    <name>ClipboardSection</name>
    <message>
        <location filename="../src/ui/settings/ClipboardSection.cpp" line="+41"/>
        <source>Quillet cannot press keys in other applications here, so it only copies the item.</source>
        <translation>Quillet kann hier keine Tasten in anderen Anwendungen drücken und kopiert den Eintrag daher nur.</translation>
    </message>
    <message numerus="yes">
        <location line="+3"/>
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>%n items</source>
        <translation>
            <numerusform>%n Eintrag</numerusform>
            <numerusform>%n Einträge</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>%n days</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tage</numerusform>
        </translation>
    </message>
    <message>
        <location line="+1"/>
        <source>1 year</source>
        <translation>1 Jahr</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Add</source>
        <translation>Hinzufügen</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>Keep clipboard history</source>
        <translation>Zwischenablage-Verlauf führen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep at most</source>
        <translation>Höchstens behalten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Forget after</source>
        <translation>Vergessen nach</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Never record from these apps</source>
        <translation>Aus diesen Anwendungen nie aufzeichnen</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>application id, e.g. org.gnome.TextEditor</source>
        <translation>Anwendungskennung, z. B. org.gnome.TextEditor</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Application to never record from</source>
        <translation>Anwendung, aus der nie aufgezeichnet wird</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Password managers that mark the clipboard as concealed are always skipped, even if not listed.</source>
        <translation>Passwortmanager, die die Zwischenablage als verborgen kennzeichnen, werden immer übergangen, auch wenn sie nicht aufgeführt sind.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Paste directly</source>
        <translation>Direkt einfügen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Paste into the frontmost app on click</source>
        <translation>Beim Klicken in die vorderste Anwendung einfügen</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Pasting works: Quillet presses Ctrl+V in the application you came from.</source>
        <translation>Einfügen funktioniert: Quillet drückt Strg+V in der Anwendung, aus der Sie kamen.</translation>
    </message>
    <message>
        <location line="+69"/>
        <source>Remove</source>
        <translation>Entfernen</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Remove %1</source>
        <translation>%1 entfernen</translation>
    </message>
</context>
<context>
    <name>ClipboardView</name>
    <message>
        <location filename="../src/ui/panel/ClipboardView.cpp" line="+70"/>
        <source>Search text, files, apps…</source>
        <translation>Texte, Dateien, Apps suchen …</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Search history</source>
        <translation>Verlauf durchsuchen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Clear search</source>
        <translation>Suche leeren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Clear history</source>
        <translation>Verlauf leeren</translation>
    </message>
    <message>
        <location line="+67"/>
        <source>Nothing copied yet</source>
        <translation>Noch nichts kopiert</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Everything you copy shows up here —
text, images, files, links.</source>
        <translation>Alles, was Sie kopieren, erscheint hier –
Texte, Bilder, Dateien, Links.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>No matches</source>
        <translation>Keine Treffer</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <location line="+14"/>
        <location line="+1"/>
        <source>Clear clipboard history?</source>
        <translation>Zwischenablage-Verlauf leeren?</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Pinned items are kept. This cannot be undone.</source>
        <translation>Angeheftete Einträge bleiben erhalten. Dies kann nicht rückgängig gemacht werden.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clear (keeps pinned)</source>
        <translation>Leeren (Angeheftete bleiben)</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <location filename="../src/app/CommandLine.cpp" line="+27"/>
        <source>Quillet is not running (nothing owns com.ovo.quillet on the session bus); the command was not delivered</source>
        <translation>Quillet läuft nicht (niemand besitzt com.ovo.quillet auf dem Sitzungsbus); der Befehl wurde nicht zugestellt</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>cannot reach the session bus; the command was not delivered</source>
        <translation>Sitzungsbus nicht erreichbar; der Befehl wurde nicht zugestellt</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Clipboard history and screenshots at hand. Without options, starts Quillet (or shows the running one&apos;s panel); with one, gives that command to the running Quillet.</source>
        <translation>Zwischenablage-Verlauf und Bildschirmfotos griffbereit. Ohne Optionen wird Quillet gestartet (oder das Fenster des laufenden Quillet gezeigt); mit einer Option erhält das laufende Quillet diesen Befehl.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Prints these options and exits.</source>
        <translation>Gibt diese Optionen aus und beendet sich.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Prints the version and exits.</source>
        <translation>Gibt die Version aus und beendet sich.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Opens the quick picker at the pointer, or closes it when it is open.</source>
        <translation>Öffnet die Schnellauswahl am Mauszeiger oder schließt sie, wenn sie offen ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Shows the panel on the tab given (clipboard or screenshots), else on the tab shown last.</source>
        <translation>Zeigt das Fenster mit dem angegebenen Reiter (clipboard oder screenshots), sonst mit dem zuletzt gezeigten.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hides the panel and the quick picker.</source>
        <translation>Blendet das Fenster und die Schnellauswahl aus.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Hands a debug command (state, openPanel, snapshot:FILE, …) to the running Quillet.</source>
        <translation>Übergibt dem laufenden Quillet einen Debug-Befehl (state, openPanel, snapshot:DATEI, …).</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Prints what works on this desktop: the clipboard, the source application, pasting directly, the global shortcut and the tray.</source>
        <translation>Gibt aus, was in dieser Arbeitsumgebung funktioniert: die Zwischenablage, die Quellanwendung, das direkte Einfügen, das globale Tastenkürzel und der Systembereich.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --status: prints it as JSON, for scripts.</source>
        <translation>Mit --status: Ausgabe als JSON, für Skripte.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>With --show-panel: clipboard or screenshots.</source>
        <translation>Mit --show-panel: clipboard oder screenshots.</translation>
    </message>
    <message>
        <location line="+13"/>
        <source> (quillet --help lists the options)</source>
        <translation> (quillet --help listet die Optionen auf)</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>no command given (quillet --help lists them; quillet alone starts Quillet)</source>
        <translation>kein Befehl angegeben (quillet --help listet sie auf; quillet allein startet Quillet)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>one command at a time</source>
        <translation>nur ein Befehl auf einmal</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>unexpected argument &apos;%1&apos;</source>
        <translation>unerwartetes Argument „%1“</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>--json goes with --status</source>
        <translation>--json gehört zu --status</translation>
    </message>
    <message>
        <location line="+22"/>
        <source>unknown tab &apos;%1&apos; (clipboard or screenshots)</source>
        <translation>unbekannter Reiter „%1“ (clipboard oder screenshots)</translation>
    </message>
</context>
<context>
    <name>CopyBack</name>
    <message>
        <location filename="../src/history/CopyBack.cpp" line="+21"/>
        <source>Couldn&apos;t copy: the file is gone</source>
        <translation>Kopieren fehlgeschlagen: Die Datei ist nicht mehr da</translation>
    </message>
</context>
<context>
    <name>DBusCommandClient</name>
    <message>
        <location filename="../src/platform/dbus/DBusCommandClient.cpp" line="+28"/>
        <location line="+33"/>
        <source>cannot reach the session bus (%1)</source>
        <translation>Sitzungsbus nicht erreichbar (%1)</translation>
    </message>
    <message>
        <location line="-13"/>
        <source>Quillet is not running (nothing owns %1 on the session bus)</source>
        <translation>Quillet läuft nicht (niemand besitzt %1 auf dem Sitzungsbus)</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Quillet did not answer within %1 s</source>
        <translation>Quillet hat nicht innerhalb von %1 s geantwortet</translation>
    </message>
    <message>
        <location line="+12"/>
        <source>the running Quillet does not know the command %1 (an older version?)</source>
        <translation>das laufende Quillet kennt den Befehl %1 nicht (eine ältere Version?)</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>the running Quillet refused %1: %2</source>
        <translation>das laufende Quillet hat %1 abgelehnt: %2</translation>
    </message>
</context>
<context>
    <name>GeneralSection</name>
    <message>
        <location filename="../src/ui/settings/GeneralSection.cpp" line="+21"/>
        <source>Launch at login</source>
        <translation>Bei der Anmeldung starten</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Tray badge</source>
        <translation>Zähler im Systembereich</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Show the new-screenshot count next to the paperclip.</source>
        <translation>Zeigt die Anzahl neuer Bildschirmfotos neben der Büroklammer.</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Play sound on capture</source>
        <translation>Ton bei Aufnahme abspielen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Not under GNOME Shell, which plays its own.</source>
        <translation>Nicht unter GNOME Shell, die einen eigenen abspielt.</translation>
    </message>
</context>
<context>
    <name>KeyboardShortcuts</name>
    <message>
        <location filename="../src/KeyboardShortcuts/Texts.cpp" line="+18"/>
        <source>Record Shortcut</source>
        <translation>Tastenkürzel aufnehmen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Press Shortcut</source>
        <translation>Tastenkürzel drücken</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Set by the Desktop</source>
        <translation>Von der Arbeitsumgebung festgelegt</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>This keyboard shortcut cannot be used as it&apos;s already used by the “%1” menu item.</source>
        <translation>Dieses Tastenkürzel kann nicht verwendet werden, da es bereits vom Menüeintrag „%1“ verwendet wird.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>This keyboard shortcut cannot be used because it is not allowed.</source>
        <translation>Dieses Tastenkürzel kann nicht verwendet werden, da es nicht erlaubt ist.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>This keyboard shortcut cannot be used as it&apos;s already in use by another application or by the desktop.</source>
        <translation>Dieses Tastenkürzel kann nicht verwendet werden, da es bereits von einer anderen Anwendung oder der Arbeitsumgebung verwendet wird.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Most desktop shortcuts can be changed in your desktop&apos;s keyboard settings. A shortcut used anyway may never arrive here.</source>
        <translation>Die meisten Tastenkürzel der Arbeitsumgebung lassen sich in deren Tastatureinstellungen ändern. Ein trotzdem verwendetes Tastenkürzel kommt hier womöglich nie an.</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Use Anyway</source>
        <translation>Trotzdem verwenden</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>space</source>
        <translation>Leertaste</translation>
    </message>
</context>
<context>
    <name>PanelFormat</name>
    <message>
        <location filename="../src/ui/PanelFormat.cpp" line="+17"/>
        <source>Image</source>
        <translation>Bild</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message numerus="yes">
        <location line="+16"/>
        <source>%n sec.</source>
        <translation>
            <numerusform>%n Sek.</numerusform>
            <numerusform>%n Sek.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n min.</source>
        <translation>
            <numerusform>%n Min.</numerusform>
            <numerusform>%n Min.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n hr.</source>
        <translation>
            <numerusform>%n Std.</numerusform>
            <numerusform>%n Std.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n day</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <source>%n days</source>
        <translation>
            <numerusform>%n Tag</numerusform>
            <numerusform>%n Tagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n wk.</source>
        <translation>
            <numerusform>%n Wo.</numerusform>
            <numerusform>%n Wo.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n mo.</source>
        <translation>
            <numerusform>%n Mon.</numerusform>
            <numerusform>%n Mon.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <location line="+2"/>
        <source>%n yr.</source>
        <translation>
            <numerusform>%n J.</numerusform>
            <numerusform>%n J.</numerusform>
        </translation>
    </message>
    <message>
        <location line="+2"/>
        <source>in %1</source>
        <extracomment>%1 is an amount of time such as &quot;5 min.&quot;</extracomment>
        <translation>in %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>%1 ago</source>
        <extracomment>%1 is an amount of time such as &quot;5 min.&quot;</extracomment>
        <translation>vor %1</translation>
    </message>
    <message>
        <location line="+9"/>
        <source> · downscaled</source>
        <translation> · verkleinert</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>h:mm AP</source>
        <extracomment>Time of day as a QTime format: the language&apos;s usual clock</extracomment>
        <translation>HH:mm</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Today, %1</source>
        <translation>Heute, %1</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>MMM d</source>
        <extracomment>Day and abbreviated month as a QDate format</extracomment>
        <translation>d. MMM</translation>
    </message>
</context>
<context>
    <name>PanelView</name>
    <message>
        <location filename="../src/ui/panel/PanelView.cpp" line="+65"/>
        <source>· bind a key to quillet --show-panel</source>
        <translation>· Taste an quillet --show-panel binden</translation>
    </message>
    <message>
        <location line="+50"/>
        <source>Settings</source>
        <translation>Einstellungen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Quit</source>
        <translation>Beenden</translation>
    </message>
    <message>
        <location line="+37"/>
        <source>· drag shots into any app</source>
        <translation>· Bilder in jede App ziehen</translation>
    </message>
    <message>
        <location line="-87"/>
        <source>· ⌘⇧V opens this anywhere</source>
        <translation>· ⌘⇧V öffnet dies überall</translation>
    </message>
</context>
<context>
    <name>QuickLook</name>
    <message>
        <location filename="../src/ui/QuickLook.cpp" line="+32"/>
        <location line="+56"/>
        <source>Quick Look</source>
        <translation>Schnellansicht</translation>
    </message>
    <message>
        <location line="-32"/>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
</context>
<context>
    <name>QuickPicker</name>
    <message>
        <location filename="../src/ui/picker/QuickPicker.cpp" line="+24"/>
        <source>Quillet Quick Picker</source>
        <translation>Quillet-Schnellauswahl</translation>
    </message>
</context>
<context>
    <name>QuickPickerView</name>
    <message>
        <location filename="../src/ui/picker/QuickPickerView.cpp" line="+37"/>
        <source>All history…</source>
        <translation>Ganzer Verlauf …</translation>
    </message>
    <message>
        <location line="+16"/>
        <source>Recent clips</source>
        <translation>Zuletzt kopiert</translation>
    </message>
    <message>
        <location line="+74"/>
        <source>Nothing copied yet</source>
        <translation>Noch nichts kopiert</translation>
    </message>
    <message>
        <location line="+11"/>
        <source>↩ copy · esc close</source>
        <translation>↩ kopieren · Esc schließen</translation>
    </message>
</context>
<context>
    <name>RecentAppsButton</name>
    <message>
        <location filename="../src/ui/settings/RecentAppsButton.cpp" line="+17"/>
        <source>Recent</source>
        <translation>Zuletzt</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Choose an application you copied from</source>
        <translation>Eine Anwendung wählen, aus der Sie kopiert haben</translation>
    </message>
    <message>
        <location line="+42"/>
        <source>No applications in the history yet</source>
        <translation>Noch keine Anwendungen im Verlauf</translation>
    </message>
</context>
<context>
    <name>RenamePrompt</name>
    <message>
        <location filename="../src/ui/panel/RenamePrompt.cpp" line="+15"/>
        <location line="+2"/>
        <source>Rename screenshot</source>
        <translation>Bildschirmfoto umbenennen</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
</context>
<context>
    <name>ScreenshotGridView</name>
    <message>
        <location filename="../src/ui/panel/ScreenshotGridView.cpp" line="+39"/>
        <source>Screenshots</source>
        <translation>Bildschirmfotos</translation>
    </message>
</context>
<context>
    <name>ScreenshotsSection</name>
    <message>
        <location filename="../src/ui/settings/ScreenshotsSection.cpp" line="+46"/>
        <source>Never</source>
        <translation>Nie</translation>
    </message>
    <message numerus="yes">
        <location line="+1"/>
        <location line="+1"/>
        <location line="+1"/>
        <source>after %n days</source>
        <translation>
            <numerusform>nach %n Tag</numerusform>
            <numerusform>nach %n Tagen</numerusform>
        </translation>
    </message>
    <message>
        <location line="+20"/>
        <source>Copy new screenshots to the clipboard</source>
        <translation>Neue Bildschirmfotos in die Zwischenablage kopieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Watched folder</source>
        <translation>Beobachteter Ordner</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Keep screenshots in a dedicated folder</source>
        <translation>Bildschirmfotos in einem eigenen Ordner ablegen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Changes where your screenshot tool saves screenshots: a Screenshots folder in your Pictures folder. Turning it off puts back the folder your tool used before. GNOME Shell always saves there and cannot be changed.</source>
        <translation>Ändert, wo Ihr Bildschirmfoto-Werkzeug Bildschirmfotos speichert: in einem Ordner „Screenshots“ in Ihrem Bilderordner. Ausschalten stellt den Ordner wieder her, den Ihr Werkzeug vorher verwendet hat. GNOME Shell speichert immer dort, das lässt sich nicht ändern.</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Auto-delete screenshots</source>
        <translation>Bildschirmfotos automatisch löschen</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Old screenshots go to the Trash, never deleted outright.</source>
        <translation>Alte Bildschirmfotos kommen in den Papierkorb und werden nie endgültig gelöscht.</translation>
    </message>
</context>
<context>
    <name>ScreenshotsView</name>
    <message>
        <location filename="../src/ui/panel/ScreenshotsView.cpp" line="+32"/>
        <source>No screenshots yet</source>
        <translation>Noch keine Bildschirmfotos</translation>
    </message>
    <message>
        <location line="+0"/>
        <source>Press PrtSc — new captures appear here
and land on your clipboard.</source>
        <translation>Drücken Sie Druck – neue Aufnahmen erscheinen hier
und landen in Ihrer Zwischenablage.</translation>
    </message>
    <message>
        <location line="+10"/>
        <location line="+26"/>
        <source>Copied</source>
        <translation>Kopiert</translation>
    </message>
    <message>
        <location line="+5"/>
        <source>Copied file</source>
        <translation>Datei kopiert</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>Copy</source>
        <translation>Kopieren</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Copy as File Only</source>
        <translation>Nur als Datei kopieren</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Reveal in File Manager</source>
        <translation>In der Dateiverwaltung zeigen</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quick Look</source>
        <translation>Schnellansicht</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Rename…</source>
        <translation>Umbenennen …</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Move to Trash</source>
        <translation>In den Papierkorb verschieben</translation>
    </message>
</context>
<context>
    <name>SettingsSections</name>
    <message>
        <location filename="../src/ui/settings/SettingsTabBar.cpp" line="+22"/>
        <source>General</source>
        <translation>Allgemein</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Screenshots</source>
        <translation>Bildschirmfotos</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Clipboard</source>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Shortcuts</source>
        <translation>Tastenkürzel</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>About</source>
        <translation>Über</translation>
    </message>
</context>
<context>
    <name>SettingsWindow</name>
    <message>
        <location filename="../src/ui/settings/SettingsWindow.cpp" line="+82"/>
        <source>Quillet Settings</source>
        <translation>Quillet-Einstellungen</translation>
    </message>
</context>
<context>
    <name>ShortcutsSection</name>
    <message>
        <location filename="../src/ui/settings/ShortcutsSection.cpp" line="+24"/>
        <source>Change…</source>
        <translation>Ändern …</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Quick paste at your cursor</source>
        <translation>Schnell am Cursor einfügen</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Pops up your 5 most recent clips right where you&apos;re working — ↑↓ or 1–5 to pick, Return to copy. Default ⌘⇧V. The full history is one click on the tray paperclip.</source>
        <translation>Zeigt Ihre 5 neuesten Einträge genau dort, wo Sie arbeiten – ↑↓ oder 1–5 zum Auswählen, Eingabe zum Kopieren. Standard ⌘⇧V. Der ganze Verlauf ist einen Klick auf die Büroklammer im Systembereich entfernt.</translation>
    </message>
    <message>
        <location line="+19"/>
        <source>Your desktop decides the keys of this shortcut: change them in its keyboard settings.</source>
        <translation>Ihre Arbeitsumgebung legt die Tasten dieses Kürzels fest: Ändern Sie sie in deren Tastatureinstellungen.</translation>
    </message>
</context>
<context>
    <name>TabSwitcher</name>
    <message>
        <location filename="../src/ui/panel/TabSwitcher.cpp" line="+27"/>
        <source>Screenshots</source>
        <translation>Bildschirmfotos</translation>
    </message>
    <message>
        <location line="+1"/>
        <source>Clipboard</source>
        <translation>Zwischenablage</translation>
    </message>
    <message>
        <location line="+9"/>
        <source>Tabs</source>
        <translation>Reiter</translation>
    </message>
</context>
<context>
    <name>ToolScreenshotLocation</name>
    <message>
        <location filename="../src/platform/freedesktop/ToolScreenshotLocation.cpp" line="+265"/>
        <source>from Spectacle&apos;s settings</source>
        <translation>aus den Einstellungen von Spectacle</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>Spectacle&apos;s default</source>
        <translation>Vorgabe von Spectacle</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>from Xfce Screenshooter&apos;s settings</source>
        <translation>aus den Einstellungen von Xfce Screenshooter</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Xfce Screenshooter&apos;s default</source>
        <translation>Vorgabe von Xfce Screenshooter</translation>
    </message>
    <message>
        <location line="+8"/>
        <source>GNOME default</source>
        <translation>Vorgabe von GNOME</translation>
    </message>
    <message>
        <location line="+3"/>
        <source>from Flameshot&apos;s settings</source>
        <translation>aus den Einstellungen von Flameshot</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>from gnome-screenshot&apos;s settings</source>
        <translation>aus den Einstellungen von gnome-screenshot</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Pictures folder (no tool&apos;s setting found)</source>
        <translation>Bilderordner (keine Einstellung eines Werkzeugs gefunden)</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Desktop (no tool&apos;s setting found)</source>
        <translation>Schreibtisch (keine Einstellung eines Werkzeugs gefunden)</translation>
    </message>
</context>
<context>
    <name>UpdateCheckResult</name>
    <message>
        <location filename="../src/app/UpdateCheckResult.cpp" line="+20"/>
        <source>A new version of Quillet is available</source>
        <translation>Eine neue Version von Quillet ist verfügbar</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Quillet is up to date</source>
        <translation>Quillet ist auf dem neuesten Stand</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>Updates come from your package manager</source>
        <translation>Aktualisierungen kommen von Ihrer Paketverwaltung</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Could not check for updates</source>
        <translation>Suche nach Aktualisierungen fehlgeschlagen</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>Quillet %1 is available — you have %2.</source>
        <translation>Quillet %1 ist verfügbar – Sie haben %2.</translation>
    </message>
    <message>
        <location line="+4"/>
        <source>Quillet %1 is the newest version.</source>
        <translation>Quillet %1 ist die neueste Version.</translation>
    </message>
    <message>
        <location line="+2"/>
        <source>This copy of Quillet (version %1) is updated by your system&apos;s package manager. Quillet does not look for updates itself.</source>
        <translation>Diese Kopie von Quillet (Version %1) wird von der Paketverwaltung Ihres Systems aktualisiert. Quillet sucht nicht selbst nach Aktualisierungen.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>The release feed could not be read: %1</source>
        <translation>Der Versions-Feed konnte nicht gelesen werden: %1</translation>
    </message>
</context>
<context>
    <name>Updater</name>
    <message>
        <location filename="../src/app/Updater.cpp" line="+129"/>
        <location line="+14"/>
        <source>the feed is too large.</source>
        <translation>Der Feed ist zu groß.</translation>
    </message>
    <message>
        <location line="+6"/>
        <source>the feed is not a JSON object.</source>
        <translation>Der Feed ist kein JSON-Objekt.</translation>
    </message>
    <message>
        <location line="+7"/>
        <source>the feed names no version.</source>
        <translation>Der Feed nennt keine Version.</translation>
    </message>
</context>
</TS>
