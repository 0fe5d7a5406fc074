<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>AllDevices</name>
    <message>
        <source>All Devices</source>
        <extracomment>The All Devices window&apos;s title with the count of alarms not yet seen: &quot;All Devices (2 alarms)&quot;.</extracomment>
        <translation>Alle Geräte</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Geräte</translation>
    </message>
    <message>
        <source>Asks every device for signal-strength reports</source>
        <translation>Fordert von jedem Gerät Meldungen der Signalstärke an</translation>
    </message>
    <message>
        <source>Signal Strength for All</source>
        <translation>Signalstärke für alle</translation>
    </message>
    <message>
        <source>Shows the chosen device in the main window</source>
        <translation>Zeigt das gewählte Gerät im Hauptfenster</translation>
    </message>
    <message>
        <source>Show in Main Window</source>
        <translation>Im Hauptfenster zeigen</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message>
        <source>No device found.</source>
        <translation>Kein Gerät gefunden.</translation>
    </message>
    <message>
        <source>%1, %2, %3.</source>
        <extracomment>The three counts of the devices, in this order: &quot;2 linked, 1 in use by another program, 0 not connected.&quot;</extracomment>
        <translation>%1, %2, %3.</translation>
    </message>
    <message numerus="yes">
        <source>%n linked</source>
        <translation>
            <numerusform>%n verbunden</numerusform>
            <numerusform>%n verbunden</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n in use by other programs</source>
        <translation>
            <numerusform>%n von einem anderen Programm belegt</numerusform>
            <numerusform>%n von anderen Programmen belegt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not connected</source>
        <translation>
            <numerusform>%n nicht angeschlossen</numerusform>
            <numerusform>%n nicht angeschlossen</numerusform>
        </translation>
    </message>
    <message>
        <source>One row a device; Enter or a double click shows it in the main window; F2 on its name renames it</source>
        <translation>Eine Zeile je Gerät; die Eingabetaste oder ein Doppelklick zeigt es im Hauptfenster, F2 auf seinem Namen benennt es um</translation>
    </message>
    <message>
        <source>Gives the chosen device a name of your own</source>
        <translation>Gibt dem gewählten Gerät einen eigenen Namen</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Umbenennen</translation>
    </message>
    <message>
        <source>Marks the chosen device&apos;s alarms as seen: past ones go, running ones stay while their cause lasts</source>
        <translation>Markiert die Alarme des gewählten Geräts als gesehen: Vergangene verschwinden, laufende bleiben, solange ihre Ursache andauert</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>Bestätigen</translation>
    </message>
    <message>
        <source>Marks every device&apos;s alarms as seen: past ones go, running ones stay while their cause lasts</source>
        <translation>Markiert die Alarme aller Geräte als gesehen: Vergangene verschwinden, laufende bleiben, solange ihre Ursache andauert</translation>
    </message>
    <message>
        <source>Acknowledge All</source>
        <translation>Alle bestätigen</translation>
    </message>
    <message>
        <source>All Devices (%1)</source>
        <translation>Alle Geräte (%1)</translation>
    </message>
</context>
<context>
    <name>BackgroundSave</name>
    <message>
        <source>the save was stopped</source>
        <translation>das Speichern wurde abgebrochen</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>die Datei konnte nicht geschrieben werden</translation>
    </message>
</context>
<context>
    <name>DeviceLabel</name>
    <message>
        <source>%1, serial number %2</source>
        <extracomment>A serial port and the serial number of its USB bridge: &quot;ttyUSB0, serial number 0001&quot;.</extracomment>
        <translation>%1, Seriennummer %2</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <extracomment>A device&apos;s role and where it is: &quot;TXU Client (Slot 1) on ttyUSB0&quot;.</extracomment>
        <translation>%1 an %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A device&apos;s name and what else names it: &quot;Lead vocal: TXU Client (Slot 1) on ttyUSB0&quot;.</extracomment>
        <translation>%1: %2</translation>
    </message>
</context>
<context>
    <name>DeviceListModel</name>
    <message>
        <source>busy: in use by another program</source>
        <translation>belegt: von einem anderen Programm verwendet</translation>
    </message>
    <message>
        <source>busy: in use by %1</source>
        <translation>belegt: von %1 verwendet</translation>
    </message>
    <message>
        <source>unplugged</source>
        <translation>ausgesteckt</translation>
    </message>
    <message>
        <source>cannot be opened: %1</source>
        <translation>kann nicht geöffnet werden: %1</translation>
    </message>
    <message>
        <source>not connected</source>
        <translation>nicht angeschlossen</translation>
    </message>
    <message>
        <source>firmware update</source>
        <translation>Firmware-Aktualisierung</translation>
    </message>
    <message>
        <source>asking the device...</source>
        <translation>Gerät wird abgefragt...</translation>
    </message>
    <message>
        <source>no link</source>
        <translation>keine Verbindung</translation>
    </message>
    <message>
        <source>linked</source>
        <translation>verbunden</translation>
    </message>
    <message>
        <source>link state %1</source>
        <translation>Verbindungszustand %1</translation>
    </message>
    <message>
        <source>reports off</source>
        <translation>Meldungen aus</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Messwert</translation>
    </message>
    <message>
        <source>muted</source>
        <translation>stumm</translation>
    </message>
    <message>
        <source>not muted</source>
        <translation>nicht stumm</translation>
    </message>
    <message>
        <source>on</source>
        <translation>ein</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Schnittstelle</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation>Vom TXU</translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation>Vom Repeater</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>+48V</source>
        <translation>+48V</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Verstärkung</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Eingang</translation>
    </message>
    <message>
        <source>RF Channel</source>
        <translation>HF-Kanal</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <extracomment>A device&apos;s role, then its firmware versions: &quot;TXU Client (Slot 1); WLAN 1660, DSP 3.13&quot;.</extracomment>
        <translation>%1; %2</translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>Could not open the serial port %1.</source>
        <translation>Die serielle Schnittstelle %1 konnte nicht geöffnet werden.</translation>
    </message>
    <message>
        <source>Could not set up the serial port %1.</source>
        <translation>Die serielle Schnittstelle %1 konnte nicht eingerichtet werden.</translation>
    </message>
</context>
<context>
    <name>FWUpdate</name>
    <message>
        <source>Firmware Update</source>
        <translation>Firmware-Aktualisierung</translation>
    </message>
    <message>
        <source>Firmware Package:</source>
        <translation>Firmware-Paket:</translation>
    </message>
    <message>
        <source>Firmware package</source>
        <translation>Firmware-Paket</translation>
    </message>
    <message>
        <source>Choose a firmware package</source>
        <translation>Ein Firmware-Paket wählen</translation>
    </message>
    <message>
        <source>Choose firmware package</source>
        <translation>Firmware-Paket wählen</translation>
    </message>
    <message>
        <source>Start Firmware Update</source>
        <translation>Firmware-Aktualisierung starten</translation>
    </message>
    <message>
        <source>Firmware update progress</source>
        <translation>Fortschritt der Firmware-Aktualisierung</translation>
    </message>
    <message>
        <source>Updating WLAN Firmware...</source>
        <translation>WLAN-Firmware wird aktualisiert...</translation>
    </message>
    <message>
        <source>Updating DSP Firmware...</source>
        <translation>DSP-Firmware wird aktualisiert...</translation>
    </message>
    <message>
        <source>The device is finishing the update. Do not disconnect it.</source>
        <translation>Das Gerät schließt die Aktualisierung ab. Trennen Sie es nicht.</translation>
    </message>
    <message>
        <source>Connection to the device lost: the update is not complete.</source>
        <translation>Verbindung zum Gerät verloren: Die Aktualisierung ist nicht abgeschlossen.</translation>
    </message>
    <message>
        <source>The device&apos;s answer to chunk %1 of %2 of the %3 image came damaged: the update is not complete.</source>
        <extracomment>%3 is the image: WLAN or DSP.</extracomment>
        <translation>Die Antwort des Geräts auf Block %1 von %2 des %3-Abbilds kam beschädigt an: Die Aktualisierung ist nicht abgeschlossen.</translation>
    </message>
    <message>
        <source>Connected devices</source>
        <translation>Angeschlossene Geräte</translation>
    </message>
    <message>
        <source>No devices found</source>
        <translation>Keine Geräte gefunden</translation>
    </message>
    <message>
        <source>Open Firmware Package</source>
        <translation>Firmware-Paket öffnen</translation>
    </message>
    <message>
        <source>Firmware Files (*.bin *.ldr)</source>
        <translation>Firmware-Dateien (*.bin *.ldr)</translation>
    </message>
    <message>
        <source>Firmware Files (*.zip)</source>
        <translation>Firmware-Dateien (*.zip)</translation>
    </message>
    <message>
        <source>The firmware package %1 could not be unpacked.</source>
        <translation>Das Firmware-Paket %1 konnte nicht entpackt werden.</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Fehler!</translation>
    </message>
    <message>
        <source>Firmware update in progress...</source>
        <translation>Firmware-Aktualisierung läuft...</translation>
    </message>
    <message>
        <source>Updating %1...</source>
        <extracomment>%1 is the device&apos;s type: TXU or RXU.</extracomment>
        <translation>%1 wird aktualisiert...</translation>
    </message>
    <message>
        <source>Package: %1 WLAN: %2 -&gt; %3 DSP: %4.%5 -&gt; %6</source>
        <extracomment>%1 is the device&apos;s type: TXU or RXU.</extracomment>
        <translation>Paket: %1 WLAN: %2 -&gt; %3 DSP: %4.%5 -&gt; %6</translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation>Schwerer Fehler</translation>
    </message>
    <message>
        <source>The link to the device on the serial port %1 was lost.</source>
        <translation>Die Verbindung zum Gerät an der seriellen Schnittstelle %1 ist verloren gegangen.</translation>
    </message>
    <message>
        <source>Connection to the device lost: nothing was sent. Close this window; the device is linked again when it is plugged in.</source>
        <translation>Verbindung zum Gerät verloren: Es wurde nichts gesendet. Schließen Sie dieses Fenster; das Gerät wird wieder verbunden, sobald es eingesteckt ist.</translation>
    </message>
    <message>
        <source>Version Mismatch</source>
        <translation>Versionen passen nicht</translation>
    </message>
    <message>
        <source>Skipping firmware update for this portable</source>
        <translation>Firmware-Aktualisierung für dieses Gerät wird übersprungen</translation>
    </message>
    <message>
        <source>The package does not fit this device: %1. Nothing was sent; pick another package.</source>
        <translation>Das Paket passt nicht zu diesem Gerät: %1. Es wurde nichts gesendet; wählen Sie ein anderes Paket.</translation>
    </message>
    <message>
        <source>The device did not report a type that the package has a DSP image for.</source>
        <translation>Das Gerät hat keinen Typ gemeldet, für den das Paket ein DSP-Abbild enthält.</translation>
    </message>
    <message>
        <source>Nothing was sent; start again or pick another package.</source>
        <translation>Es wurde nichts gesendet; starten Sie erneut oder wählen Sie ein anderes Paket.</translation>
    </message>
    <message>
        <source>Package &quot;%1&quot;: WLAN %2, DSP %3 for TXU and %4 for RXU.</source>
        <translation>Paket „%1“: WLAN %2, DSP %3 für TXU und %4 für RXU.</translation>
    </message>
    <message>
        <source>Pick another package.</source>
        <translation>Wählen Sie ein anderes Paket.</translation>
    </message>
    <message>
        <source>Firmware update completed successfully</source>
        <translation>Firmware-Aktualisierung erfolgreich abgeschlossen</translation>
    </message>
    <message>
        <source>Firmware update completed successfully.&lt;br&gt;</source>
        <translation>Firmware-Aktualisierung erfolgreich abgeschlossen.&lt;br&gt;</translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet; die Aktualisierung ist nicht abgeschlossen. Warten auf das Gerät...</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet; die Aktualisierung ist nicht abgeschlossen. Warten auf das Gerät...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: the update is not complete.</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet: Die Aktualisierung ist nicht abgeschlossen.</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet: Die Aktualisierung ist nicht abgeschlossen.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet; es wurde noch nichts gesendet. Warten auf das Gerät...</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet; es wurde noch nichts gesendet. Warten auf das Gerät...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: nothing was sent.</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet: Es wurde nichts gesendet.</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet: Es wurde nichts gesendet.</numerusform>
        </translation>
    </message>
    <message>
        <source>Plug the device in again and repeat the update; the main window links it again when it answers.</source>
        <translation>Schließen Sie das Gerät wieder an und wiederholen Sie die Aktualisierung; das Hauptfenster verbindet es wieder, sobald es antwortet.</translation>
    </message>
    <message>
        <source>Repeat the update: pick the package again, or close this window and open it again.</source>
        <translation>Wiederholen Sie die Aktualisierung: Wählen Sie das Paket erneut, oder schließen Sie dieses Fenster und öffnen Sie es wieder.</translation>
    </message>
    <message>
        <source>The device keeps a half-written image and needs the update again.</source>
        <translation>Das Gerät behält ein halb geschriebenes Abbild und braucht die Aktualisierung erneut.</translation>
    </message>
    <message>
        <source>The device answers again: it runs the new firmware.</source>
        <translation>Das Gerät antwortet wieder: Es läuft mit der neuen Firmware.</translation>
    </message>
    <message>
        <source>Stop the update?</source>
        <translation>Die Aktualisierung abbrechen?</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Fortsetzen</translation>
    </message>
    <message>
        <source>Stop Update</source>
        <translation>Aktualisierung abbrechen</translation>
    </message>
    <message>
        <source>Update stopped.</source>
        <translation>Die Aktualisierung wurde abgebrochen.</translation>
    </message>
    <message>
        <source>No device is linked.</source>
        <translation>Kein Gerät ist verbunden.</translation>
    </message>
    <message>
        <source>Device: %1 (asking for its versions...)</source>
        <translation>Gerät: %1 (fragt nach seinen Versionen...)</translation>
    </message>
    <message>
        <source>Device: %1</source>
        <translation>Gerät: %1</translation>
    </message>
    <message>
        <source>Device: %1; WLAN %2, DSP %3.%4</source>
        <extracomment>A device, then its firmware versions: &quot;TXU Client (Slot 1) on ttyUSB0; WLAN 1650, DSP 3.12&quot;.</extracomment>
        <translation>Gerät: %1; WLAN %2, DSP %3.%4</translation>
    </message>
    <message>
        <source>Update stopped at %1 of the %2 image</source>
        <extracomment>%1 is a percentage (&quot;40%&quot;), %2 the image: WLAN or DSP.</extracomment>
        <translation>Aktualisierung bei %1 des %2-Abbilds abgebrochen</translation>
    </message>
    <message>
        <source>Stopped at %1</source>
        <translation>Abgebrochen bei %1</translation>
    </message>
    <message>
        <source>The device is restarting; the main window links it again when it answers.</source>
        <translation>Das Gerät startet neu; das Hauptfenster verbindet es wieder, sobald es antwortet.</translation>
    </message>
    <message>
        <source>Connection to the device lost</source>
        <translation>Verbindung zum Gerät verloren</translation>
    </message>
    <message>
        <source>Nothing was sent</source>
        <translation>Es wurde nichts gesendet</translation>
    </message>
    <message>
        <source>Update refused</source>
        <translation>Aktualisierung abgelehnt</translation>
    </message>
    <message>
        <source>Update not started</source>
        <translation>Aktualisierung nicht begonnen</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Aktualisierung abgeschlossen</translation>
    </message>
    <message>
        <source>The device is restarting with its new firmware; the main window links it again when it answers.</source>
        <translation>Das Gerät startet mit seiner neuen Firmware neu; das Hauptfenster verbindet es wieder, sobald es antwortet.</translation>
    </message>
    <message>
        <source>It is now safe to disconnect your device. Tavero Companion stays open and links the device again when it answers.</source>
        <translation>Sie können Ihr Gerät jetzt sicher trennen. Tavero Companion bleibt geöffnet und verbindet das Gerät wieder, sobald es antwortet.</translation>
    </message>
</context>
<context>
    <name>FirmwareImage</name>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The image %1 holds %2 bytes; at most %3 bytes can be sent.</source>
        <translation>Das Abbild %1 umfasst %2 Byte; höchstens %3 Byte können gesendet werden.</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>%1 konnte nicht gelesen werden: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 changed or could not be read (%2 of %n bytes read).</source>
        <translation>
            <numerusform>%1 hat sich geändert oder konnte nicht gelesen werden (%2 von %n Byte gelesen).</numerusform>
            <numerusform>%1 hat sich geändert oder konnte nicht gelesen werden (%2 von %n Byte gelesen).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FirmwarePackage</name>
    <message>
        <source>The package %1 has no %2.</source>
        <translation>Das Paket %1 enthält keine Datei %2.</translation>
    </message>
    <message>
        <source>%1 in the package %2 is saved as UTF-16; it must be plain text (ASCII or UTF-8).</source>
        <translation>%1 im Paket %2 ist als UTF-16 gespeichert; es muss einfacher Text sein (ASCII oder UTF-8).</translation>
    </message>
    <message>
        <source>%1 in the package %2 is empty.</source>
        <translation>%1 im Paket %2 ist leer.</translation>
    </message>
    <message>
        <source>%1 in the package %2 has %3 of its four lines (the package&apos;s name, its WLAN version and the DSP versions for TXU and for RXU).</source>
        <translation>%1 im Paket %2 enthält nur %3 der vier Zeilen (den Namen des Pakets, seine WLAN-Version und die DSP-Versionen für TXU und für RXU).</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine reguläre Datei.</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: %2</source>
        <translation>Das Paket %1 kann nicht verwendet werden: %2</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: line 2 of %2 holds nothing after its 5-byte label: the WLAN version must be a number.</source>
        <translation>Das Paket %1 kann nicht verwendet werden: Zeile 2 von %2 enthält nach ihrer 5 Byte langen Kennung nichts; die WLAN-Version muss eine Zahl sein.</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: line 2 of %2 reads %3: the WLAN version after its 5-byte label must be a number.</source>
        <translation>Das Paket %1 kann nicht verwendet werden: Zeile 2 von %2 lautet %3; die WLAN-Version nach ihrer 5 Byte langen Kennung muss eine Zahl sein.</translation>
    </message>
</context>
<context>
    <name>FleetReport</name>
    <message>
        <source>running</source>
        <translation>läuft</translation>
    </message>
    <message>
        <source>fits</source>
        <translation>passt</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>aktualisiert</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>abgelehnt</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>unterbrochen</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>fehlgeschlagen</translation>
    </message>
    <message>
        <source>starting</source>
        <translation>startet</translation>
    </message>
    <message>
        <source>checking</source>
        <translation>prüft</translation>
    </message>
    <message>
        <source>finishing</source>
        <translation>schließt ab</translation>
    </message>
    <message>
        <source>no answer for %1 s</source>
        <translation>seit %1 s keine Antwort</translation>
    </message>
    <message>
        <source>do not disconnect</source>
        <translation>nicht trennen</translation>
    </message>
    <message numerus="yes">
        <source>%n devices: %1</source>
        <translation>
            <numerusform>%n Gerät: %1</numerusform>
            <numerusform>%n Geräte: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more: %1</source>
        <translation>
            <numerusform>... und %n weiteres: %1</numerusform>
            <numerusform>... und %n weitere: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n läuft</numerusform>
            <numerusform>%n laufen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n fit</source>
        <translation>
            <numerusform>%n passt</numerusform>
            <numerusform>%n passen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%n aktualisiert</numerusform>
            <numerusform>%n aktualisiert</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n refused</source>
        <translation>
            <numerusform>%n abgelehnt</numerusform>
            <numerusform>%n abgelehnt</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n fehlgeschlagen</numerusform>
            <numerusform>%n fehlgeschlagen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n interrupted</source>
        <translation>
            <numerusform>%n unterbrochen</numerusform>
            <numerusform>%n unterbrochen</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %2 (%3 of %n bytes%4)</source>
        <extracomment>&quot;WLAN 10% (12000 of 120000 bytes, 41.8 kB/s)&quot;: the image, the part of it done (&quot;10%&quot;), the bytes acknowledged of the image&apos;s %n, and in %4 the rate and the time, each after a comma (or nothing).</extracomment>
        <translation>
            <numerusform>%1 %2 (%3 von %n Byte%4)</numerusform>
            <numerusform>%1 %2 (%3 von %n Byte%4)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FleetUpdate</name>
    <message>
        <source>The port is in use by another program: nothing was sent.</source>
        <translation>Die Schnittstelle wird von einem anderen Programm verwendet: Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>The port is in use by %1: nothing was sent.</source>
        <translation>Die Schnittstelle wird von %1 verwendet: Es wurde nichts gesendet.</translation>
    </message>
</context>
<context>
    <name>HeronTemp</name>
    <message>
        <source>Heron Temperature</source>
        <translation>Heron-Temperatur</translation>
    </message>
    <message>
        <source>Module temperature</source>
        <translation>Modultemperatur</translation>
    </message>
    <message>
        <source>Get temperature</source>
        <translation>Temperatur abfragen</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Abfragen</translation>
    </message>
</context>
<context>
    <name>LinePrinter</name>
    <message>
        <source>Updating WLAN Firmware...</source>
        <translation>WLAN-Firmware wird aktualisiert...</translation>
    </message>
    <message>
        <source>Updating DSP Firmware...</source>
        <translation>DSP-Firmware wird aktualisiert...</translation>
    </message>
    <message>
        <source>Device port: %1</source>
        <translation>Geräteschnittstelle: %1</translation>
    </message>
    <message>
        <source>Device: %1, WLAN %2, DSP %3.%4</source>
        <translation>Gerät: %1, WLAN %2, DSP %3.%4</translation>
    </message>
    <message>
        <source>type unknown</source>
        <translation>Typ unbekannt</translation>
    </message>
    <message>
        <source>Package &quot;%1&quot;: WLAN %2, DSP %3</source>
        <translation>Paket „%1“: WLAN %2, DSP %3</translation>
    </message>
    <message>
        <source>The device is finishing the update. Do not disconnect it.</source>
        <translation>Das Gerät schließt die Aktualisierung ab. Trennen Sie es nicht.</translation>
    </message>
    <message>
        <source>Firmware update completed successfully.</source>
        <translation>Firmware-Aktualisierung erfolgreich abgeschlossen.</translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet; die Aktualisierung ist nicht abgeschlossen. Warten auf das Gerät...</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet; die Aktualisierung ist nicht abgeschlossen. Warten auf das Gerät...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet; es wurde noch nichts gesendet. Warten auf das Gerät...</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet; es wurde noch nichts gesendet. Warten auf das Gerät...</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Metrics</name>
    <message>
        <source>The address %1 is not HOST:PORT with a port from 1 to 65535, such as 127.0.0.1:9523.</source>
        <extracomment>%1 is what the user gave after --metrics.</extracomment>
        <translation>Die Adresse %1 hat nicht die Form HOST:PORT mit einem Port von 1 bis 65535, wie etwa 127.0.0.1:9523.</translation>
    </message>
    <message>
        <source>Cannot serve the metrics on %1: %2.</source>
        <extracomment>%1 is the address such as 127.0.0.1:9523, %2 the system&apos;s reason.</extracomment>
        <translation>Die Metriken können nicht unter %1 angeboten werden: %2.</translation>
    </message>
    <message>
        <source>another program listens there</source>
        <translation>Dort lauscht bereits ein anderes Programm</translation>
    </message>
    <message>
        <source>the address cannot be had</source>
        <translation>Die Adresse ist nicht verfügbar</translation>
    </message>
</context>
<context>
    <name>NumberText</name>
    <message>
        <source>%1%</source>
        <extracomment>A percentage: %1 is the figure (&quot;30%&quot;). Write it as the language does, with a no-break space before the sign where one goes there.</extracomment>
        <translation>%1&#xa0;%</translation>
    </message>
</context>
<context>
    <name>PackageArchive</name>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 ist keine reguläre Datei.</translation>
    </message>
    <message>
        <source>%1 is damaged (%2).</source>
        <translation>%1 ist beschädigt (%2).</translation>
    </message>
    <message>
        <source>%1 is encrypted in the package; it cannot be read.</source>
        <translation>%1 ist im Paket verschlüsselt; es kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 is compressed in a way that cannot be read (method %2).</source>
        <translation>%1 ist auf eine nicht lesbare Weise komprimiert (Methode %2).</translation>
    </message>
    <message>
        <source>%1 holds %2 bytes; a manifest holds at most %3 bytes.</source>
        <translation>%1 umfasst %2 Byte; eine Paketbeschreibung umfasst höchstens %3 Byte.</translation>
    </message>
    <message>
        <source>%1 is damaged (it takes %2 bytes in the package for at most %3).</source>
        <translation>%1 ist beschädigt (es belegt %2 Byte im Paket für höchstens %3).</translation>
    </message>
    <message>
        <source>%1 cannot be read from the package (%2).</source>
        <translation>%1 kann nicht aus dem Paket gelesen werden (%2).</translation>
    </message>
    <message>
        <source>its checksum does not match</source>
        <translation>seine Prüfsumme stimmt nicht</translation>
    </message>
    <message>
        <source>%1 is not a zip archive.</source>
        <translation>%1 ist kein ZIP-Archiv.</translation>
    </message>
    <message>
        <source>%1 holds %2 entries; a firmware package holds a few.</source>
        <translation>%1 enthält %2 Einträge; ein Firmware-Paket enthält nur wenige.</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2).</source>
        <translation>%1 kann nicht gelesen werden (%2).</translation>
    </message>
    <message>
        <source>%1 cannot be read as a zip archive (%2).</source>
        <translation>%1 kann nicht als ZIP-Archiv gelesen werden (%2).</translation>
    </message>
    <message>
        <source>%1 is damaged: its directory cannot be read.</source>
        <translation>%1 ist beschädigt: Sein Inhaltsverzeichnis kann nicht gelesen werden.</translation>
    </message>
    <message>
        <source>%1 is damaged: an entry has no name.</source>
        <translation>%1 ist beschädigt: Ein Eintrag hat keinen Namen.</translation>
    </message>
    <message>
        <source>The package holds two entries named &quot;%1&quot;.</source>
        <translation>Das Paket enthält zwei Einträge namens „%1“.</translation>
    </message>
    <message>
        <source>The package holds two entries named &quot;%1&quot; and &quot;%2&quot;, which differ only in case.</source>
        <translation>Das Paket enthält zwei Einträge namens „%1“ und „%2“, die sich nur in der Groß- und Kleinschreibung unterscheiden.</translation>
    </message>
    <message>
        <source>The package names %1 &quot;%2&quot;: its files must be at its top level, without folders or &quot;..&quot; in their names.</source>
        <translation>Das Paket nennt %1 „%2“: Seine Dateien müssen auf oberster Ebene liegen, ohne Ordner oder „..“ im Namen.</translation>
    </message>
    <message>
        <source>%1 is damaged: it ends with more than one directory record, so what it holds cannot be told.</source>
        <translation>%1 ist beschädigt: Es endet mit mehr als einem Abschluss seines Inhaltsverzeichnisses, daher lässt sich nicht sagen, was es enthält.</translation>
    </message>
    <message numerus="yes">
        <source>it holds more than the %n bytes it claims</source>
        <translation>
            <numerusform>es enthält mehr als das angegebene %n Byte</numerusform>
            <numerusform>es enthält mehr als die angegebenen %n Byte</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>it holds %1 of the %n bytes it claims</source>
        <translation>
            <numerusform>es enthält %1 von %n angegebenen Byte</numerusform>
            <numerusform>es enthält %1 von %n angegebenen Byte</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PackageInput</name>
    <message>
        <source>%1 (nothing was sent).</source>
        <translation>%1 (es wurde nichts gesendet).</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: %2</source>
        <translation>Das Paket %1 kann nicht verwendet werden: %2</translation>
    </message>
</context>
<context>
    <name>PortAccess</name>
    <message>
        <source>To use the port without root, plug the device in again or log in again (the udev rule 70-tavero-companion.rules that the package installs gives the user at the seat access), or join the dialout group with &quot;sudo adduser $USER dialout&quot; and log out and in again.</source>
        <translation>Um die Schnittstelle ohne root zu nutzen, stecken Sie das Gerät erneut ein oder melden Sie sich neu an (die udev-Regel 70-tavero-companion.rules, die das Paket installiert, gibt dem angemeldeten Benutzer Zugriff), oder treten Sie mit „sudo adduser $USER dialout“ der Gruppe dialout bei und melden Sie sich ab und wieder an.</translation>
    </message>
    <message>
        <source>The port is in use by %1.</source>
        <translation>Die Schnittstelle wird von %1 verwendet.</translation>
    </message>
</context>
<context>
    <name>PortFinder</name>
    <message>
        <source>process %1</source>
        <translation>Prozess %1</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1 (Prozess %2)</translation>
    </message>
    <message>
        <source>reports no manufacturer</source>
        <translation>meldet keinen Hersteller</translation>
    </message>
    <message>
        <source>reports the manufacturer &quot;%1&quot;</source>
        <translation>meldet den Hersteller „%1“</translation>
    </message>
    <message>
        <source>%1, not &quot;%2&quot;</source>
        <translation>%1, nicht „%2“</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>von einem anderen Programm verwendet</translation>
    </message>
    <message>
        <source>in use by %1</source>
        <translation>von %1 verwendet</translation>
    </message>
    <message>
        <source>Port named on the command line: %1</source>
        <translation>Auf der Befehlszeile genannte Schnittstelle: %1</translation>
    </message>
    <message>
        <source>, no permission</source>
        <translation>, keine Berechtigung</translation>
    </message>
    <message>
        <source>%1: device bridge, no permission</source>
        <translation>%1: Gerätebrücke, keine Berechtigung</translation>
    </message>
    <message>
        <source>%1: device bridge</source>
        <translation>%1: Gerätebrücke</translation>
    </message>
    <message>
        <source>%1: passed over, %2</source>
        <translation>%1: übergangen, %2</translation>
    </message>
    <message>
        <source>No serial ports were found.</source>
        <translation>Es wurden keine seriellen Schnittstellen gefunden.</translation>
    </message>
    <message>
        <source>Serial ports seen:</source>
        <translation>Gefundene serielle Schnittstellen:</translation>
    </message>
    <message>
        <source>Port named on the command line: %1, the same port as %2</source>
        <translation>Auf der Befehlszeile genannte Schnittstelle: %1, dieselbe Schnittstelle wie %2</translation>
    </message>
</context>
<context>
    <name>ShowLog</name>
    <message numerus="yes">
        <source>The %n oldest entries went, to keep the log within its size.</source>
        <translation>
            <numerusform>Der älteste Eintrag wurde entfernt, damit das Protokoll seine Größe behält.</numerusform>
            <numerusform>Die %n ältesten Einträge wurden entfernt, damit das Protokoll seine Größe behält.</numerusform>
        </translation>
    </message>
    <message>
        <source>link lost</source>
        <extracomment>What happened to a device, in the show log.</extracomment>
        <translation>Verbindung verloren</translation>
    </message>
    <message>
        <source>weak signal</source>
        <translation>schwaches Signal</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Messwert</translation>
    </message>
    <message>
        <source>unplugged</source>
        <translation>ausgesteckt</translation>
    </message>
    <message>
        <source>muted</source>
        <translation>stumm</translation>
    </message>
    <message>
        <source>unmuted</source>
        <translation>Stummschaltung aufgehoben</translation>
    </message>
    <message>
        <source>+48V on</source>
        <translation>+48V ein</translation>
    </message>
    <message>
        <source>+48V off</source>
        <translation>+48V aus</translation>
    </message>
    <message>
        <source>channel %1 (was %2)</source>
        <extracomment>The RF channel changed: %1 the new one, %2 the one before.</extracomment>
        <translation>Kanal %1 (vorher %2)</translation>
    </message>
    <message>
        <source>still on</source>
        <extracomment>An alarm whose cause lasts, in the show log&apos;s column &quot;How long&quot;.</extracomment>
        <translation>dauert an</translation>
    </message>
    <message>
        <source>%1 s</source>
        <extracomment>A length in seconds: &quot;1.2 s&quot;.</extracomment>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Time</source>
        <extracomment>A column of the show log.</extracomment>
        <translation>Zeit</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Gerät</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Rolle</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Anschluss</translation>
    </message>
    <message>
        <source>What happened</source>
        <translation>Ereignis</translation>
    </message>
    <message>
        <source>How long</source>
        <translation>Dauer</translation>
    </message>
</context>
<context>
    <name>ShowLogWindow</name>
    <message>
        <source>Show Log</source>
        <translation>Show-Protokoll</translation>
    </message>
    <message>
        <source>Alarms only</source>
        <translation>Nur Alarme</translation>
    </message>
    <message>
        <source>Show log</source>
        <translation>Show-Protokoll</translation>
    </message>
    <message>
        <source>Every alarm and event of every device since the program started, newest first</source>
        <translation>Jeder Alarm und jedes Ereignis aller Geräte seit dem Programmstart, das neueste zuerst</translation>
    </message>
    <message>
        <source>Save as CSV...</source>
        <translation>Als CSV speichern …</translation>
    </message>
    <message>
        <source>Save as JSON Lines...</source>
        <translation>Als JSON-Zeilen speichern …</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Schließen</translation>
    </message>
    <message numerus="yes">
        <source>%n entries since the program started.</source>
        <extracomment>The show log&apos;s size: &quot;12 entries since the program started.&quot;</extracomment>
        <translation>
            <numerusform>%n Eintrag seit dem Programmstart.</numerusform>
            <numerusform>%n Einträge seit dem Programmstart.</numerusform>
        </translation>
    </message>
    <message>
        <source>Save as JSON Lines</source>
        <translation>Als JSON-Zeilen speichern</translation>
    </message>
    <message>
        <source>JSON lines (*.jsonl)</source>
        <translation>JSON-Zeilen (*.jsonl)</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>Als CSV speichern</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>Could not save the show log to %1: %2</source>
        <translation>Das Show-Protokoll konnte nicht unter %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>ShowMonitor</name>
    <message>
        <source>%1 %2 since %3</source>
        <extracomment>A running alarm: what and since when (&quot;link lost since 21:14:03&quot;).</extracomment>
        <translation>%1 %2 seit %3</translation>
    </message>
    <message>
        <source>%1, seen</source>
        <extracomment>A running alarm that the user has seen; it stays while its cause lasts.</extracomment>
        <translation>%1, gesehen</translation>
    </message>
    <message>
        <source>%1 %2 %3 for %4</source>
        <extracomment>A past alarm, until it is acknowledged: what, when it began and for how long (&quot;link lost 21:14:03 for 1.2 s&quot;).</extracomment>
        <translation>%1 %2 um %3 für %4</translation>
    </message>
    <message numerus="yes">
        <source>%n more</source>
        <extracomment>Past alarms of a device besides the one shown.</extracomment>
        <translation>
            <numerusform>%n weiterer Alarm</numerusform>
            <numerusform>%n weitere Alarme</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarms</source>
        <extracomment>Alarms that wait to be acknowledged, in a window&apos;s title and the main window.</extracomment>
        <translation>
            <numerusform>%n Alarm</numerusform>
            <numerusform>%n Alarme</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShowSettings</name>
    <message>
        <source>The settings file %1 is damaged. The defaults apply, and the file is left as it is until you save the settings.</source>
        <extracomment>%1 is the settings file.</extracomment>
        <translation>Die Einstellungsdatei %1 ist beschädigt. Es gelten die Standardwerte; die Datei bleibt unverändert, bis Sie die Einstellungen speichern.</translation>
    </message>
    <message>
        <source>The settings file %1 could not be read. The defaults apply, and the file is left as it is until you save the settings.</source>
        <extracomment>%1 is the settings file.</extracomment>
        <translation>Die Einstellungsdatei %1 konnte nicht gelesen werden. Es gelten die Standardwerte; die Datei bleibt unverändert, bis Sie die Einstellungen speichern.</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1.</source>
        <extracomment>%1 is the settings file.</extracomment>
        <translation>Die Einstellungen konnten nicht in %1 gespeichert werden.</translation>
    </message>
</context>
<context>
    <name>ShowSettingsDialog</name>
    <message>
        <source>Show Settings</source>
        <translation>Show-Einstellungen</translation>
    </message>
    <message>
        <source>Weak signal at or below:</source>
        <translation>Schwaches Signal bei oder unter:</translation>
    </message>
    <message>
        <source> dBm</source>
        <translation> dBm</translation>
    </message>
    <message>
        <source>Signal good again when above it by:</source>
        <translation>Signal wieder gut ab diesem Abstand darüber:</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Alarm once it has lasted:</source>
        <translation>Alarm nach einer Dauer von:</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Announce each new alarm on the desktop while this program is in the background</source>
        <translation>Jeden neuen Alarm auf dem Desktop melden, während dieses Programm im Hintergrund ist</translation>
    </message>
    <message>
        <source>%1 The defaults hold until you save.</source>
        <translation>%1 Bis Sie speichern, gelten die Standardwerte.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The settings hold until the program ends, but could not be kept: %1</source>
        <translation>Die Einstellungen gelten bis zum Programmende, konnten aber nicht gespeichert werden: %1</translation>
    </message>
</context>
<context>
    <name>SignalHistory</name>
    <message>
        <source>Signal History</source>
        <extracomment>The Signal History&apos;s title with the name the user gave the device: &quot;Signal History: Lead vocal&quot;.</extracomment>
        <translation>Signalverlauf</translation>
    </message>
    <message>
        <source>Signal Strength</source>
        <translation>Signalstärke</translation>
    </message>
    <message>
        <source>Span:</source>
        <translation>Zeitraum:</translation>
    </message>
    <message>
        <source>Span</source>
        <translation>Zeitraum</translation>
    </message>
    <message>
        <source>How much time the plots show</source>
        <translation>Wie viel Zeit die Diagramme zeigen</translation>
    </message>
    <message>
        <source>1 min</source>
        <translation>1 min</translation>
    </message>
    <message>
        <source>10 min</source>
        <translation>10 min</translation>
    </message>
    <message>
        <source>1 h</source>
        <translation>1 h</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Alles</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Anhalten</translation>
    </message>
    <message>
        <source>Save as CSV… saves every device&apos;s history in one file, with a port column</source>
        <translation>„Als CSV speichern…“ speichert den Verlauf aller Geräte in einer Datei, mit einer Spalte für die Schnittstelle</translation>
    </message>
    <message>
        <source>All devices</source>
        <translation>Alle Geräte</translation>
    </message>
    <message>
        <source>Save as CSV…</source>
        <translation>Als CSV speichern…</translation>
    </message>
    <message>
        <source>Save as PNG…</source>
        <translation>Als PNG speichern…</translation>
    </message>
    <message>
        <source>Plots</source>
        <translation>Diagramme</translation>
    </message>
    <message>
        <source>Sniffer</source>
        <translation>Sniffer</translation>
    </message>
    <message>
        <source>Time shown</source>
        <translation>Gezeigte Zeit</translation>
    </message>
    <message>
        <source>Moves the plots back in time; at the right end they follow the newest data</source>
        <translation>Verschiebt die Diagramme in die Vergangenheit; am rechten Ende folgen sie den neuesten Daten</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Messwert</translation>
    </message>
    <message>
        <source>no link</source>
        <translation>keine Verbindung</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>Verbindung verloren</translation>
    </message>
    <message>
        <source>port lost</source>
        <translation>Schnittstelle verloren</translation>
    </message>
    <message>
        <source>%1: no readings</source>
        <extracomment>%1 is a plotted series: &quot;From TXU&quot;, &quot;RSSI A&quot;.</extracomment>
        <translation>%1: keine Messwerte</translation>
    </message>
    <message>
        <source>%1: min %2 · mean %3 · max %4</source>
        <extracomment>The minimum, mean and maximum of a series over the stretch shown.</extracomment>
        <translation>%1: Min. %2 · Mittel %3 · Max. %4</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 bis %2</translation>
    </message>
    <message>
        <source>Signal levels over time</source>
        <translation>Signalpegel im Zeitverlauf</translation>
    </message>
    <message>
        <source>Beacons and audio packets over time</source>
        <translation>Beacons und Audiopakete im Zeitverlauf</translation>
    </message>
    <message>
        <source>RSSI over time</source>
        <translation>RSSI im Zeitverlauf</translation>
    </message>
    <message>
        <source>no device</source>
        <translation>kein Gerät</translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation>Vom TXU</translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation>Vom Repeater</translation>
    </message>
    <message>
        <source>Beacons A</source>
        <translation>Beacons A</translation>
    </message>
    <message>
        <source>Audio A</source>
        <translation>Audio A</translation>
    </message>
    <message>
        <source>Beacons B</source>
        <translation>Beacons B</translation>
    </message>
    <message>
        <source>Audio B</source>
        <translation>Audio B</translation>
    </message>
    <message>
        <source>RSSI A</source>
        <translation>RSSI A</translation>
    </message>
    <message>
        <source>RSSI B</source>
        <translation>RSSI B</translation>
    </message>
    <message>
        <source>No device.</source>
        <translation>Kein Gerät.</translation>
    </message>
    <message>
        <source>Device: %1.</source>
        <translation>Gerät: %1.</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>Als CSV speichern</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>CSV-Dateien (*.csv)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The oldest records no longer fitted in memory: the file holds the newest records, from %1 on, after the state of the link then.</source>
        <translation>Die ältesten Einträge passten nicht mehr in den Speicher: Die Datei enthält die neuesten Einträge ab %1, nach dem damaligen Zustand der Verbindung.</translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation>Als PNG speichern</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>PNG-Bilder (*.png)</translation>
    </message>
    <message>
        <source>Could not save the plot to %1: %2</source>
        <translation>Das Diagramm konnte nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>%1 · %2 · %3: %4</source>
        <translation>%1 · %2 · %3: %4</translation>
    </message>
    <message numerus="yes">
        <source>Recording since %1: %n records, %2 of %3.</source>
        <translation>
            <numerusform>Aufzeichnung seit %1: %n Eintrag, %2 von %3.</numerusform>
            <numerusform>Aufzeichnung seit %1: %n Einträge, %2 von %3.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Memory full: the oldest %n records were dropped; the recording now starts at %1. </source>
        <translation>
            <numerusform>Speicher voll: Der älteste Eintrag wurde verworfen; die Aufzeichnung beginnt jetzt um %1. </numerusform>
            <numerusform>Speicher voll: Die ältesten %n Einträge wurden verworfen; die Aufzeichnung beginnt jetzt um %1. </numerusform>
        </translation>
    </message>
    <message>
        <source>Saving as CSV… %1</source>
        <translation>Wird als CSV gespeichert… %1</translation>
    </message>
    <message>
        <source>Could not save the signal history to %1: %2</source>
        <translation>Der Signalverlauf konnte nicht in %1 gespeichert werden: %2</translation>
    </message>
    <message>
        <source>Signal History: %1</source>
        <translation>Signalverlauf: %1</translation>
    </message>
</context>
<context>
    <name>Sniffer</name>
    <message>
        <source>Sniffer</source>
        <translation>Sniffer</translation>
    </message>
    <message>
        <source>Sniffer reports</source>
        <translation>Sniffer-Meldungen</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Starten</translation>
    </message>
    <message>
        <source>Start (Rep Mode)</source>
        <translation>Starten (Repeater)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stoppen</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Speichern…</translation>
    </message>
    <message>
        <source>Save Sniffer Lines</source>
        <translation>Sniffer-Zeilen speichern</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Textdateien (*.txt)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The oldest lines no longer fitted in memory: the file holds the newest lines, from %1 on.</source>
        <translation>Die ältesten Zeilen passten nicht mehr in den Speicher: Die Datei enthält die neuesten Zeilen ab %1.</translation>
    </message>
    <message>
        <source>Saving… %1</source>
        <translation>Speichern… %1</translation>
    </message>
    <message>
        <source>Could not save the sniffer lines to %1: %2</source>
        <translation>Die Sniffer-Zeilen konnten nicht in %1 gespeichert werden: %2</translation>
    </message>
</context>
<context>
    <name>StatusDisplay</name>
    <message>
        <source>No device found</source>
        <translation>Kein Gerät gefunden</translation>
    </message>
    <message>
        <source>Updating Device Information...</source>
        <translation>Geräteinformationen werden aktualisiert...</translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation>Verbindungsstatus</translation>
    </message>
    <message>
        <source>Repeater Mode</source>
        <translation>Repeater-Modus</translation>
    </message>
    <message>
        <source>Link Status: no link</source>
        <translation>Verbindungsstatus: keine Verbindung</translation>
    </message>
    <message>
        <source>Link Status: linked</source>
        <translation>Verbindungsstatus: verbunden</translation>
    </message>
    <message>
        <source>Link Status: link state %1</source>
        <translation>Verbindungsstatus: Zustand %1</translation>
    </message>
    <message>
        <source>Repeater Mode: on</source>
        <translation>Repeater-Modus: ein</translation>
    </message>
    <message>
        <source>Repeater Mode: off</source>
        <translation>Repeater-Modus: aus</translation>
    </message>
    <message>
        <source>+48V: on</source>
        <translation>+48V: ein</translation>
    </message>
    <message>
        <source>+48V: off</source>
        <translation>+48V: aus</translation>
    </message>
    <message>
        <source>Muted</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>Not muted</source>
        <translation>Nicht stumm</translation>
    </message>
    <message>
        <source>%1: no device</source>
        <extracomment>%1 is a lamp&apos;s caption: &quot;Link Status&quot;, &quot;Repeater Mode&quot; or &quot;+48V&quot;.</extracomment>
        <translation>%1: kein Gerät</translation>
    </message>
    <message>
        <source>good</source>
        <extracomment>The band of a signal level, beside a level in dBm and on the plots.</extracomment>
        <translation>gut</translation>
    </message>
    <message>
        <source>fair</source>
        <translation>mäßig</translation>
    </message>
    <message>
        <source>weak</source>
        <translation>schwach</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Messwert</translation>
    </message>
    <message>
        <source>Link Status: good signal</source>
        <translation>Verbindungsstatus: gutes Signal</translation>
    </message>
    <message>
        <source>Link Status: fair signal</source>
        <translation>Verbindungsstatus: mäßiges Signal</translation>
    </message>
    <message>
        <source>Link Status: weak signal</source>
        <translation>Verbindungsstatus: schwaches Signal</translation>
    </message>
    <message>
        <source>%1 dBm</source>
        <translation>%1 dBm</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <extracomment>A signal level and its band: &quot;−55 dBm, fair&quot;.</extracomment>
        <translation>%1, %2</translation>
    </message>
    <message>
        <source>Gain: %1</source>
        <translation>Verstärkung: %1</translation>
    </message>
    <message>
        <source>Input mode: %1</source>
        <extracomment>%1 is the input mode (&quot;MIC Mode&quot;), or &quot;none&quot;.</extracomment>
        <translation>Eingangsart: %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>keine</translation>
    </message>
    <message>
        <source>Hi-Z Mode</source>
        <extracomment>Hi-Z, MIC and LINE are the device&apos;s names of its inputs.</extracomment>
        <translation>Hi-Z-Modus</translation>
    </message>
    <message>
        <source>MIC Mode</source>
        <translation>MIC-Modus</translation>
    </message>
    <message>
        <source>LINE Mode</source>
        <translation>LINE-Modus</translation>
    </message>
    <message>
        <source>Master</source>
        <extracomment>The device&apos;s role.</extracomment>
        <translation>Master</translation>
    </message>
    <message>
        <source>TXU Client (Slot %1)</source>
        <translation>TXU-Client (Platz %1)</translation>
    </message>
    <message>
        <source>RXU Client (Master Slot)</source>
        <translation>RXU-Client (Master-Platz)</translation>
    </message>
    <message>
        <source>RXU Client (Slot %1)</source>
        <translation>RXU-Client (Platz %1)</translation>
    </message>
    <message>
        <source>Repeater</source>
        <translation>Repeater</translation>
    </message>
    <message>
        <source>Unknown Device</source>
        <translation>Unbekanntes Gerät</translation>
    </message>
    <message>
        <source>Beacons:</source>
        <translation>Beacons:</translation>
    </message>
    <message>
        <source>Audio:</source>
        <translation>Audio:</translation>
    </message>
    <message>
        <source>RSSI:</source>
        <translation>RSSI:</translation>
    </message>
    <message>
        <source>WLAN %1</source>
        <translation>WLAN %1</translation>
    </message>
    <message>
        <source>DSP %1.%2</source>
        <translation>DSP %1.%2</translation>
    </message>
    <message>
        <source>Device unplugged</source>
        <translation>Gerät ausgesteckt</translation>
    </message>
</context>
<context>
    <name>TVC</name>
    <message>
        <source>Repeater Mode</source>
        <translation>Repeater-Modus</translation>
    </message>
    <message>
        <source>Serial Port:</source>
        <translation>Serielle Schnittstelle:</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Serielle Schnittstelle</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Aktualisieren</translation>
    </message>
    <message>
        <source>Master Mode</source>
        <translation>Master-Modus</translation>
    </message>
    <message>
        <source>RF Channel</source>
        <translation>HF-Kanal</translation>
    </message>
    <message>
        <source>RF channel</source>
        <translation>HF-Kanal</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Verbindung</translation>
    </message>
    <message>
        <source>Gain/Mute</source>
        <translation>Verstärkung/Stumm</translation>
    </message>
    <message>
        <source>Gain up</source>
        <translation>Verstärkung erhöhen</translation>
    </message>
    <message>
        <source>Gain down</source>
        <translation>Verstärkung verringern</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Stumm</translation>
    </message>
    <message>
        <source>Transmission Quality</source>
        <translation>Übertragungsqualität</translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation>Verbindungsstatus</translation>
    </message>
    <message>
        <source>Signal Strength</source>
        <translation>Signalstärke</translation>
    </message>
    <message>
        <source>From TXU:</source>
        <translation>Vom TXU:</translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation>Vom TXU</translation>
    </message>
    <message>
        <source>From Repeater:</source>
        <translation>Vom Repeater:</translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation>Vom Repeater</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Optionen</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>Device Version</source>
        <translation>Geräteversion</translation>
    </message>
    <message>
        <source>Heron Temperature</source>
        <translation>Heron-Temperatur</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Service Mode</source>
        <translation>Servicemodus</translation>
    </message>
    <message>
        <source>Sniffer</source>
        <translation>Sniffer</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Firmware-Aktualisierung</translation>
    </message>
    <message>
        <source>Signal History</source>
        <translation>Signalverlauf</translation>
    </message>
    <message>
        <source>All Devices</source>
        <translation>Alle Geräte</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Registrieren</translation>
    </message>
    <message>
        <source>Please wait for the device to startup and then press OK.</source>
        <translation>Bitte warten Sie, bis das Gerät gestartet ist, und drücken Sie dann OK.</translation>
    </message>
    <message>
        <source>For TXU in Master Mode, wait till the LINK LED turns green.</source>
        <extracomment>LINK is the name of the device&apos;s button and LED.</extracomment>
        <translation>Bei einem TXU im Master-Modus warten Sie, bis die LINK-LED grün leuchtet.</translation>
    </message>
    <message>
        <source>More information on various device startup modes can be found in the user guide.</source>
        <translation>Weitere Informationen zu den Startarten des Geräts finden Sie im Benutzerhandbuch.</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Service Mode Enable</source>
        <translation>Servicemodus einschalten</translation>
    </message>
    <message>
        <source>Enter Service Code</source>
        <translation>Servicecode eingeben</translation>
    </message>
    <message>
        <source>Almost...</source>
        <translation>Fast...</translation>
    </message>
    <message>
        <source>Forgot the &apos;x&apos;?</source>
        <translation>Das „x“ vergessen?</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Willkommen</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Fehler</translation>
    </message>
    <message>
        <source>The link to the device on the serial port %1 was closed.</source>
        <translation>Die Verbindung zum Gerät an der seriellen Schnittstelle %1 wurde geschlossen.</translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation>Schwerer Fehler</translation>
    </message>
    <message>
        <source>The device this window shows and controls</source>
        <translation>Das Gerät, das dieses Fenster zeigt und steuert</translation>
    </message>
    <message>
        <source>Choose Device</source>
        <translation>Gerät wählen</translation>
    </message>
    <message>
        <source>Shows another attached device in this window</source>
        <translation>Zeigt ein anderes angeschlossenes Gerät in diesem Fenster</translation>
    </message>
    <message>
        <source>User Guide</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>The alarms that wait to be seen</source>
        <translation>Die Alarme, die noch gesehen werden müssen</translation>
    </message>
    <message>
        <source>Show Log</source>
        <translation>Show-Protokoll</translation>
    </message>
    <message>
        <source>Show Settings</source>
        <translation>Show-Einstellungen</translation>
    </message>
    <message>
        <source>This device: %1</source>
        <extracomment>The main window&apos;s own device&apos;s alarms, after the count of all.</extracomment>
        <translation>Dieses Gerät: %1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Alarm: %1: %2</source>
        <extracomment>A new alarm as a screen reader and the desktop tell it: &quot;Alarm: Lead vocal (ttyUSB0): link lost&quot;.</extracomment>
        <translation>Alarm: %1: %2</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarm</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <extracomment>A device&apos;s port (and serial number), then its firmware versions: &quot;ttyUSB0; WLAN 1660, DSP 3.13&quot;.</extracomment>
        <translation>%1; %2</translation>
    </message>
</context>
<context>
    <name>TransferProgress</name>
    <message>
        <source>%1 kB/s</source>
        <translation>%1 kB/s</translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation>noch etwa %1 s</translation>
    </message>
    <message>
        <source>about %1 min %2 s left</source>
        <translation>noch etwa %1 min %2 s</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>noch etwa %1 h %2 min</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation>%1 min %2 s</translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation>%1 h %2 min</translation>
    </message>
</context>
<context>
    <name>UpdateEngine</name>
    <message>
        <source>the device&apos;s WLAN is newer than the package&apos;s and outside 1600 to 1699</source>
        <translation>das WLAN des Geräts ist neuer als das des Pakets und liegt außerhalb von 1600 bis 1699</translation>
    </message>
    <message>
        <source>the device&apos;s WLAN is outside 1600 to 1699</source>
        <translation>das WLAN des Geräts liegt außerhalb von 1600 bis 1699</translation>
    </message>
    <message>
        <source>the device&apos;s WLAN is newer than the package&apos;s</source>
        <translation>das WLAN des Geräts ist neuer als das des Pakets</translation>
    </message>
    <message>
        <source>the package&apos;s DSP version is not major.minor</source>
        <translation>die DSP-Version des Pakets hat nicht die Form Haupt.Neben</translation>
    </message>
    <message>
        <source>the DSP major versions differ</source>
        <translation>die DSP-Hauptversionen unterscheiden sich</translation>
    </message>
    <message>
        <source>a device DSP of minor version 0 is never updated</source>
        <translation>ein Geräte-DSP mit Nebenversion 0 wird nie aktualisiert</translation>
    </message>
    <message>
        <source>the device&apos;s DSP is newer than the package&apos;s</source>
        <translation>der DSP des Geräts ist neuer als der des Pakets</translation>
    </message>
    <message>
        <source>the package is not one for this device</source>
        <translation>das Paket ist nicht für dieses Gerät bestimmt</translation>
    </message>
    <message>
        <source>The package fits the device.</source>
        <translation>Das Paket passt zum Gerät.</translation>
    </message>
    <message>
        <source>The package does not fit the device (device WLAN %1, DSP %2.%3; package WLAN %4, DSP %5): %6</source>
        <translation>Das Paket passt nicht zum Gerät (Gerät WLAN %1, DSP %2.%3; Paket WLAN %4, DSP %5): %6</translation>
    </message>
</context>
<context>
    <name>UpdateRun</name>
    <message>
        <source>Connection to the device lost (%1)</source>
        <translation>Verbindung zum Gerät verloren (%1)</translation>
    </message>
    <message>
        <source>%1: the check is not complete.</source>
        <translation>%1: Die Prüfung ist nicht abgeschlossen.</translation>
    </message>
    <message>
        <source>%1: the update is not complete.</source>
        <translation>%1: Die Aktualisierung ist nicht abgeschlossen.</translation>
    </message>
    <message>
        <source>%1: nothing was sent.</source>
        <translation>%1: Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>Cannot use the serial port %1 (%2)</source>
        <translation>Die serielle Schnittstelle %1 kann nicht verwendet werden (%2)</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>Unterbrochen</translation>
    </message>
    <message>
        <source>The device did not report a type that the package has a DSP image for</source>
        <translation>Das Gerät hat keinen Typ gemeldet, für den das Paket ein DSP-Abbild enthält</translation>
    </message>
    <message>
        <source>The device&apos;s answer to chunk %1 of %2 of the %3 image came damaged</source>
        <translation>Die Antwort des Geräts auf Block %1 von %2 des %3-Abbilds kam beschädigt an</translation>
    </message>
    <message>
        <source>The update can be started again.</source>
        <translation>Die Aktualisierung kann erneut gestartet werden.</translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds</source>
        <translation>
            <numerusform>Das Gerät hat seit %n Sekunde nicht geantwortet</numerusform>
            <numerusform>Das Gerät hat seit %n Sekunden nicht geantwortet</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; nothing was sent.</source>
        <translation>%1; es wurde nichts gesendet.</translation>
    </message>
</context>
<context>
    <name>UpdateTool</name>
    <message>
        <source>Interrupted while the package was read: nothing was sent.</source>
        <translation>Beim Lesen des Pakets unterbrochen: Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>No device found (no free serial port reports the manufacturer &quot;%1&quot;)</source>
        <translation>Kein Gerät gefunden (keine freie serielle Schnittstelle meldet den Hersteller „%1“)</translation>
    </message>
    <message>
        <source>; %1 is in use by %2</source>
        <translation>; %1 wird von %2 verwendet</translation>
    </message>
    <message>
        <source>%1: nothing was sent.</source>
        <translation>%1: Es wurde nichts gesendet.</translation>
    </message>
    <message>
        <source>; %1 is in use by another program</source>
        <translation>; %1 wird von einem anderen Programm verwendet</translation>
    </message>
</context>
<context>
    <name>UserGuide</name>
    <message>
        <source>User Guide</source>
        <translation>Benutzerhandbuch</translation>
    </message>
    <message>
        <source>The user guide was not found on this computer. The Tavero Companion package installs it as %1.</source>
        <translation>Das Benutzerhandbuch wurde auf diesem Computer nicht gefunden. Das Paket von Tavero Companion installiert es als %1.</translation>
    </message>
    <message>
        <source>No program to show the user guide was found. It is the file %1.</source>
        <translation>Es wurde kein Programm gefunden, das das Benutzerhandbuch anzeigen kann. Es ist die Datei %1.</translation>
    </message>
</context>
<context>
    <name>WatchOutput</name>
    <message>
        <source>%1 dBm</source>
        <extracomment>A signal level in dBm: &quot;-57 dBm&quot;.</extracomment>
        <translation>%1 dBm</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>kein Messwert</translation>
    </message>
    <message>
        <source> (%1 to %2, mean %3)</source>
        <extracomment>The lowest, mean and highest level of the interval, after the last one.</extracomment>
        <translation> (%1 bis %2, Mittel %3)</translation>
    </message>
    <message>
        <source>held by another program</source>
        <translation>von einem anderen Programm belegt</translation>
    </message>
    <message>
        <source>held by %1</source>
        <translation>belegt von %1</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>nicht gelesen</translation>
    </message>
    <message>
        <source>up</source>
        <translation>steht</translation>
    </message>
    <message>
        <source>down</source>
        <translation>getrennt</translation>
    </message>
    <message>
        <source>muted</source>
        <translation>stumm</translation>
    </message>
    <message>
        <source>no</source>
        <translation>nein</translation>
    </message>
    <message>
        <source>on</source>
        <translation>an</translation>
    </message>
    <message>
        <source>off</source>
        <translation>aus</translation>
    </message>
    <message>
        <source>PORT</source>
        <extracomment>Column titles of tvc-watch&apos;s table; +48V is the phantom power.</extracomment>
        <translation>PORT</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NAME</translation>
    </message>
    <message>
        <source>ROLE</source>
        <translation>ROLLE</translation>
    </message>
    <message>
        <source>LINK</source>
        <translation>VERBINDUNG</translation>
    </message>
    <message>
        <source>TXU SIGNAL</source>
        <translation>TXU-SIGNAL</translation>
    </message>
    <message>
        <source>REPEATER SIGNAL</source>
        <translation>REPEATER-SIGNAL</translation>
    </message>
    <message>
        <source>MUTE</source>
        <translation>STUMM</translation>
    </message>
    <message>
        <source>+48V</source>
        <translation>+48V</translation>
    </message>
    <message>
        <source>GAIN</source>
        <translation>VERSTÄRKUNG</translation>
    </message>
    <message>
        <source>CHANNEL</source>
        <translation>KANAL</translation>
    </message>
    <message>
        <source>ALARMS</source>
        <translation>ALARME</translation>
    </message>
    <message>
        <source>alarm: %1</source>
        <extracomment>An alarm began: &quot;alarm: link lost&quot;.</extracomment>
        <translation>Alarm: %1</translation>
    </message>
    <message>
        <source>alarm over: %1 (%2)</source>
        <extracomment>An alarm is over: &quot;alarm over: link lost (1.2 s)&quot;.</extracomment>
        <translation>Alarm vorbei: %1 (%2)</translation>
    </message>
</context>
<context>
    <name>WatchTool</name>
    <message>
        <source>No device found (no serial port reports the manufacturer &quot;%1&quot;).</source>
        <translation>Kein Gerät gefunden (kein serieller Port meldet den Hersteller &quot;%1&quot;).</translation>
    </message>
    <message>
        <source>No device on %1.</source>
        <translation>Kein Gerät an %1.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows the status of a Tavero wireless audio device, controls it and updates its firmware.
Without --port it looks for the device on the serial ports whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;.</source>
        <translation>Zeigt den Zustand eines drahtlosen Tavero-Audiogeräts, steuert es und aktualisiert seine Firmware.
Ohne --port sucht es das Gerät an den seriellen Schnittstellen, deren USB-Brücke den Hersteller „Silicon Lab“ meldet.</translation>
    </message>
    <message>
        <source>Updates the firmware of a Tavero device from a package, as the firmware dialog of
Tavero Companion does: it asks the device for its type and versions, checks them
against the package, sends the WLAN image and the DSP image for the device&apos;s type,
and waits for the device to confirm the update.

With --all, or --port given several times, it updates several devices at once, each
on its own, and ends with a summary line per device and a count of the results.

Exit status: 0 updated (with --check: the package fits), 1 refused by the version
check, 2 usage or package error, 3 device or link failure, 130 interrupted. With
several devices: 0 when all were updated, 1 when the only failures were refusals,
3 when any device failed.</source>
        <translation>Aktualisiert die Firmware eines Tavero-Geräts aus einem Paket, wie es der
Firmware-Dialog von Tavero Companion tut: Es fragt das Gerät nach Typ und
Versionen, prüft sie gegen das Paket, sendet das WLAN-Abbild und das DSP-Abbild
für den Typ des Geräts und wartet, bis das Gerät die Aktualisierung bestätigt.

Mit --all oder mehrfach angegebenem --port aktualisiert es mehrere Geräte
zugleich, jedes für sich, und endet mit einer Zeile je Gerät und einer Zählung
der Ergebnisse.

Rückgabewert: 0 aktualisiert (mit --check: das Paket passt), 1 von der
Versionsprüfung abgelehnt, 2 Aufruf- oder Paketfehler, 3 Geräte- oder
Verbindungsfehler, 130 unterbrochen. Bei mehreren Geräten: 0, wenn alle
aktualisiert wurden, 1, wenn alle Fehlschläge Ablehnungen waren, 3, wenn ein
Gerät fehlschlug.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Diese Hilfe zeigen.</translation>
    </message>
    <message>
        <source>Show the program&apos;s name and version.</source>
        <translation>Name und Version des Programms zeigen.</translation>
    </message>
    <message>
        <source>Use the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of the first free port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;. Give it several times to update several devices at once.</source>
        <translation>Die serielle Schnittstelle NAME (etwa ttyUSB0 oder /dev/pts/3) statt der ersten freien Schnittstelle verwenden, deren USB-Brücke den Hersteller „Silicon Lab“ meldet. Mehrfach angegeben, werden mehrere Geräte zugleich aktualisiert.</translation>
    </message>
    <message>
        <source>Update every device at once: every free port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;.</source>
        <translation>Alle Geräte zugleich aktualisieren: jede freie Schnittstelle, deren USB-Brücke den Hersteller „Silicon Lab“ meldet.</translation>
    </message>
    <message>
        <source>Print each image&apos;s size and SHA-256, ask and check the versions only; send no image.</source>
        <translation>Größe und SHA-256 jedes Abbilds ausgeben, nur die Versionen abfragen und prüfen; kein Abbild senden.</translation>
    </message>
    <message>
        <source>Send the single image FILE without any check (service use).</source>
        <translation>Das einzelne Abbild FILE ohne jede Prüfung senden (für den Service).</translation>
    </message>
    <message>
        <source>The unit of the --raw image: wlan or dsp (default: wlan for *.bin, dsp otherwise).</source>
        <translation>Die Einheit des --raw-Abbilds: wlan oder dsp (Vorgabe: wlan für *.bin, sonst dsp).</translation>
    </message>
    <message>
        <source>Give up when the device stays silent this long (default 30).</source>
        <translation>Aufgeben, wenn das Gerät so lange schweigt (Vorgabe 30).</translation>
    </message>
    <message>
        <source>The firmware package.</source>
        <translation>Das Firmware-Paket.</translation>
    </message>
    <message>
        <source>--all and --port exclude each other.</source>
        <translation>--all und --port schließen einander aus.</translation>
    </message>
    <message>
        <source>The port %1 is named twice.</source>
        <translation>Die Schnittstelle %1 ist doppelt genannt.</translation>
    </message>
    <message>
        <source>The timeout must be a whole number of seconds from 1 to 86400.</source>
        <translation>Die Wartezeit muss eine ganze Zahl von Sekunden zwischen 1 und 86400 sein.</translation>
    </message>
    <message>
        <source>--raw sends one image: it takes no package and no --check.</source>
        <translation>--raw sendet ein Abbild: Es nimmt kein Paket und kein --check.</translation>
    </message>
    <message>
        <source>--unit is wlan or dsp.</source>
        <translation>--unit ist wlan oder dsp.</translation>
    </message>
    <message>
        <source>--unit goes with --raw.</source>
        <translation>--unit gehört zu --raw.</translation>
    </message>
    <message>
        <source>Name one firmware package (see --help).</source>
        <translation>Nennen Sie ein Firmware-Paket (siehe --help).</translation>
    </message>
    <message>
        <source>Use the serial port NAME (a port name such as ttyUSB0, or a device path such as /dev/pts/3) instead of searching for the device. Repeated, each port is listed in All Devices, and the window takes the first that is there.</source>
        <translation>Die serielle Schnittstelle NAME (ein Schnittstellenname wie ttyUSB0 oder ein Gerätepfad wie /dev/pts/3) verwenden, statt das Gerät zu suchen. Mehrfach angegeben, steht jede Schnittstelle in „Alle Geräte“, und das Fenster nimmt die erste vorhandene.</translation>
    </message>
    <message>
        <source>Serve the metrics of the devices the window holds for Prometheus at http://ADDR:PORT/metrics, as tvc-watch does.</source>
        <translation>Bietet die Metriken der Geräte, die das Fenster hält, unter http://ADDR:PORT/metrics für Prometheus an, wie es tvc-watch tut.</translation>
    </message>
</context>
<context>
    <name>watch</name>
    <message>
        <source>Shows every attached Tavero device without a window: its role, link, signal levels,
audio settings and alarms, for scripts and monitoring. By default it reads each device
once and prints a table; --follow keeps watching.

Exit status: 0 every device was read, 1 no device was found, 2 usage error or the
metrics address cannot be had, 3 some device could not be read.</source>
        <translation>Zeigt jedes angeschlossene Tavero-Gerät ohne Fenster: seine Rolle, Verbindung, Signalpegel,
Audio-Einstellungen und Alarme, für Skripte und Überwachung. Ohne weitere Angabe liest es jedes Gerät
einmal und gibt eine Tabelle aus; mit --follow beobachtet es weiter.

Exit-Status: 0 jedes Gerät wurde gelesen, 1 kein Gerät wurde gefunden, 2 Fehler im Aufruf oder die
Adresse für die Metriken ist nicht verfügbar, 3 ein Gerät konnte nicht gelesen werden.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Zeigt diese Hilfe.</translation>
    </message>
    <message>
        <source>Show the program&apos;s name and version.</source>
        <translation>Zeigt Namen und Version des Programms.</translation>
    </message>
    <message>
        <source>Watch the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of every port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;. Give it several times for several devices.</source>
        <translation>Beobachtet den seriellen Port NAME (etwa ttyUSB0 oder /dev/pts/3) statt jedes Ports, dessen USB-Brücke den Hersteller &quot;Silicon Lab&quot; meldet. Mehrfach angegeben, für mehrere Geräte.</translation>
    </message>
    <message>
        <source>Keep watching: print events and alarms as they happen, and a reading of every device with the lowest, mean and highest signal level of each interval.</source>
        <translation>Beobachtet weiter: gibt Ereignisse und Alarme aus, sobald sie geschehen, und eine Messung jedes Geräts mit dem niedrigsten, mittleren und höchsten Signalpegel jedes Intervalls.</translation>
    </message>
    <message>
        <source>With --follow, a reading every SECONDS (default 1).</source>
        <translation>Mit --follow eine Messung alle SECONDS Sekunden (Vorgabe 1).</translation>
    </message>
    <message>
        <source>Print one JSON object per line.</source>
        <translation>Gibt ein JSON-Objekt pro Zeile aus.</translation>
    </message>
    <message>
        <source>Print CSV with one header row.</source>
        <translation>Gibt CSV mit einer Kopfzeile aus.</translation>
    </message>
    <message>
        <source>Serve Prometheus metrics at http://ADDR:PORT/metrics while following (implies --follow).</source>
        <translation>Bietet während der Beobachtung Prometheus-Metriken unter http://ADDR:PORT/metrics an (schließt --follow ein).</translation>
    </message>
    <message>
        <source>tvc-watch takes no arguments but its options (see --help).</source>
        <translation>tvc-watch nimmt außer seinen Optionen keine Argumente (siehe --help).</translation>
    </message>
    <message>
        <source>The port %1 is named twice.</source>
        <translation>Der Port %1 ist zweimal genannt.</translation>
    </message>
    <message>
        <source>--json and --csv exclude each other.</source>
        <translation>--json und --csv schließen einander aus.</translation>
    </message>
    <message>
        <source>The interval must be from 0.1 to 3600 seconds.</source>
        <translation>Das Intervall muss zwischen 0,1 und 3600 Sekunden liegen.</translation>
    </message>
    <message>
        <source>--interval goes with --follow.</source>
        <translation>--interval gilt nur zusammen mit --follow.</translation>
    </message>
</context>
</TS>
