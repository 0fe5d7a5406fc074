<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AllDevices</name>
    <message>
        <source>All Devices</source>
        <extracomment>The All Devices window&apos;s title with the count of alarms not yet seen: &quot;All Devices (2 alarms)&quot;.</extracomment>
        <translation>Tous les appareils</translation>
    </message>
    <message>
        <source>Devices</source>
        <translation>Appareils</translation>
    </message>
    <message>
        <source>Asks every device for signal-strength reports</source>
        <translation>Demande à chaque appareil des relevés de la force du signal</translation>
    </message>
    <message>
        <source>Signal Strength for All</source>
        <translation>Force du signal pour tous</translation>
    </message>
    <message>
        <source>Shows the chosen device in the main window</source>
        <translation>Affiche l’appareil choisi dans la fenêtre principale</translation>
    </message>
    <message>
        <source>Show in Main Window</source>
        <translation>Afficher dans la fenêtre principale</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message>
        <source>No device found.</source>
        <translation>Aucun appareil trouvé.</translation>
    </message>
    <message>
        <source>%1, %2, %3.</source>
        <extracomment>The three counts of the devices, in this order: &quot;2 linked, 1 in use by another program, 0 not connected.&quot;</extracomment>
        <translation>%1, %2, %3.</translation>
    </message>
    <message numerus="yes">
        <source>%n linked</source>
        <translation>
            <numerusform>%n relié</numerusform>
            <numerusform>%n reliés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n in use by other programs</source>
        <translation>
            <numerusform>%n occupé par un autre programme</numerusform>
            <numerusform>%n occupés par d’autres programmes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not connected</source>
        <translation>
            <numerusform>%n non connecté</numerusform>
            <numerusform>%n non connectés</numerusform>
        </translation>
    </message>
    <message>
        <source>One row a device; Enter or a double click shows it in the main window; F2 on its name renames it</source>
        <translation>Une ligne par appareil ; Entrée ou un double clic l’affiche dans la fenêtre principale, F2 sur son nom le renomme</translation>
    </message>
    <message>
        <source>Gives the chosen device a name of your own</source>
        <translation>Donne à l’appareil choisi un nom à vous</translation>
    </message>
    <message>
        <source>Rename</source>
        <translation>Renommer</translation>
    </message>
    <message>
        <source>Marks the chosen device&apos;s alarms as seen: past ones go, running ones stay while their cause lasts</source>
        <translation>Marque les alarmes de l’appareil choisi comme vues : les passées disparaissent, celles en cours restent tant que leur cause dure</translation>
    </message>
    <message>
        <source>Acknowledge</source>
        <translation>Acquitter</translation>
    </message>
    <message>
        <source>Marks every device&apos;s alarms as seen: past ones go, running ones stay while their cause lasts</source>
        <translation>Marque les alarmes de tous les appareils comme vues : les passées disparaissent, celles en cours restent tant que leur cause dure</translation>
    </message>
    <message>
        <source>Acknowledge All</source>
        <translation>Tout acquitter</translation>
    </message>
    <message>
        <source>All Devices (%1)</source>
        <translation>Tous les appareils (%1)</translation>
    </message>
</context>
<context>
    <name>BackgroundSave</name>
    <message>
        <source>the save was stopped</source>
        <translation>l’enregistrement a été interrompu</translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation>le fichier n’a pas pu être écrit</translation>
    </message>
</context>
<context>
    <name>DeviceLabel</name>
    <message>
        <source>%1, serial number %2</source>
        <extracomment>A serial port and the serial number of its USB bridge: &quot;ttyUSB0, serial number 0001&quot;.</extracomment>
        <translation>%1, numéro de série %2</translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <extracomment>A device&apos;s role and where it is: &quot;TXU Client (Slot 1) on ttyUSB0&quot;.</extracomment>
        <translation>%1 sur %2</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <extracomment>A device&apos;s name and what else names it: &quot;Lead vocal: TXU Client (Slot 1) on ttyUSB0&quot;.</extracomment>
        <translation>%1 : %2</translation>
    </message>
</context>
<context>
    <name>DeviceListModel</name>
    <message>
        <source>busy: in use by another program</source>
        <translation>occupé&#xa0;: utilisé par un autre programme</translation>
    </message>
    <message>
        <source>busy: in use by %1</source>
        <translation>occupé&#xa0;: utilisé par %1</translation>
    </message>
    <message>
        <source>unplugged</source>
        <translation>débranché</translation>
    </message>
    <message>
        <source>cannot be opened: %1</source>
        <translation>ne peut pas être ouvert&#xa0;: %1</translation>
    </message>
    <message>
        <source>not connected</source>
        <translation>non connecté</translation>
    </message>
    <message>
        <source>firmware update</source>
        <translation>mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>asking the device...</source>
        <translation>interrogation de l’appareil...</translation>
    </message>
    <message>
        <source>no link</source>
        <translation>pas de liaison</translation>
    </message>
    <message>
        <source>linked</source>
        <translation>relié</translation>
    </message>
    <message>
        <source>link state %1</source>
        <translation>état de liaison %1</translation>
    </message>
    <message>
        <source>reports off</source>
        <translation>relevés désactivés</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>aucune mesure</translation>
    </message>
    <message>
        <source>muted</source>
        <translation>muet</translation>
    </message>
    <message>
        <source>not muted</source>
        <translation>non muet</translation>
    </message>
    <message>
        <source>on</source>
        <translation>activé</translation>
    </message>
    <message>
        <source>off</source>
        <translation>désactivé</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Appareil</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Liaison</translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation>Depuis le TXU</translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation>Depuis le répéteur</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Muet</translation>
    </message>
    <message>
        <source>+48V</source>
        <translation>+48V</translation>
    </message>
    <message>
        <source>Gain</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Entrée</translation>
    </message>
    <message>
        <source>RF Channel</source>
        <translation>Canal RF</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nom</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <extracomment>A device&apos;s role, then its firmware versions: &quot;TXU Client (Slot 1); WLAN 1660, DSP 3.13&quot;.</extracomment>
        <translation>%1&#xa0;; %2</translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>Could not open the serial port %1.</source>
        <translation>Impossible d’ouvrir le port série %1.</translation>
    </message>
    <message>
        <source>Could not set up the serial port %1.</source>
        <translation>Impossible de configurer le port série %1.</translation>
    </message>
</context>
<context>
    <name>FWUpdate</name>
    <message>
        <source>Firmware Update</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>Firmware Package:</source>
        <translation>Paquet de micrologiciel&#xa0;:</translation>
    </message>
    <message>
        <source>Firmware package</source>
        <translation>Paquet de micrologiciel</translation>
    </message>
    <message>
        <source>Choose a firmware package</source>
        <translation>Choisir un paquet de micrologiciel</translation>
    </message>
    <message>
        <source>Choose firmware package</source>
        <translation>Choisir le paquet de micrologiciel</translation>
    </message>
    <message>
        <source>Start Firmware Update</source>
        <translation>Lancer la mise à jour</translation>
    </message>
    <message>
        <source>Firmware update progress</source>
        <translation>Progression de la mise à jour</translation>
    </message>
    <message>
        <source>Updating WLAN Firmware...</source>
        <translation>Mise à jour du micrologiciel WLAN...</translation>
    </message>
    <message>
        <source>Updating DSP Firmware...</source>
        <translation>Mise à jour du micrologiciel DSP...</translation>
    </message>
    <message>
        <source>The device is finishing the update. Do not disconnect it.</source>
        <translation>L’appareil termine la mise à jour. Ne le débranchez pas.</translation>
    </message>
    <message>
        <source>Connection to the device lost: the update is not complete.</source>
        <translation>Connexion à l’appareil perdue&#xa0;: la mise à jour n’est pas terminée.</translation>
    </message>
    <message>
        <source>The device&apos;s answer to chunk %1 of %2 of the %3 image came damaged: the update is not complete.</source>
        <extracomment>%3 is the image: WLAN or DSP.</extracomment>
        <translation>La réponse de l’appareil au bloc %1 sur %2 de l’image %3 est arrivée endommagée&#xa0;: la mise à jour n’est pas terminée.</translation>
    </message>
    <message>
        <source>Connected devices</source>
        <translation>Appareils connectés</translation>
    </message>
    <message>
        <source>No devices found</source>
        <translation>Aucun appareil trouvé</translation>
    </message>
    <message>
        <source>Open Firmware Package</source>
        <translation>Ouvrir un paquet de micrologiciel</translation>
    </message>
    <message>
        <source>Firmware Files (*.bin *.ldr)</source>
        <translation>Fichiers de micrologiciel (*.bin *.ldr)</translation>
    </message>
    <message>
        <source>Firmware Files (*.zip)</source>
        <translation>Fichiers de micrologiciel (*.zip)</translation>
    </message>
    <message>
        <source>The firmware package %1 could not be unpacked.</source>
        <translation>Le paquet de micrologiciel %1 n’a pas pu être décompressé.</translation>
    </message>
    <message>
        <source>Error!</source>
        <translation>Erreur&#xa0;!</translation>
    </message>
    <message>
        <source>Firmware update in progress...</source>
        <translation>Mise à jour du micrologiciel en cours...</translation>
    </message>
    <message>
        <source>Updating %1...</source>
        <extracomment>%1 is the device&apos;s type: TXU or RXU.</extracomment>
        <translation>Mise à jour du %1...</translation>
    </message>
    <message>
        <source>Package: %1 WLAN: %2 -&gt; %3 DSP: %4.%5 -&gt; %6</source>
        <extracomment>%1 is the device&apos;s type: TXU or RXU.</extracomment>
        <translation>Paquet&#xa0;: %1 WLAN&#xa0;: %2 -&gt; %3 DSP&#xa0;: %4.%5 -&gt; %6</translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation>Erreur critique</translation>
    </message>
    <message>
        <source>The link to the device on the serial port %1 was lost.</source>
        <translation>La liaison avec l’appareil sur le port série %1 a été perdue.</translation>
    </message>
    <message>
        <source>Connection to the device lost: nothing was sent. Close this window; the device is linked again when it is plugged in.</source>
        <translation>Connexion à l’appareil perdue&#xa0;: rien n’a été envoyé. Fermez cette fenêtre&#xa0;; l’appareil sera de nouveau relié dès qu’il sera branché.</translation>
    </message>
    <message>
        <source>Version Mismatch</source>
        <translation>Versions incompatibles</translation>
    </message>
    <message>
        <source>Skipping firmware update for this portable</source>
        <translation>Mise à jour ignorée pour cet appareil portable</translation>
    </message>
    <message>
        <source>The package does not fit this device: %1. Nothing was sent; pick another package.</source>
        <translation>Le paquet ne convient pas à cet appareil&#xa0;: %1. Rien n’a été envoyé&#xa0;; choisissez un autre paquet.</translation>
    </message>
    <message>
        <source>The device did not report a type that the package has a DSP image for.</source>
        <translation>L’appareil n’a pas indiqué de type pour lequel le paquet contient une image DSP.</translation>
    </message>
    <message>
        <source>Nothing was sent; start again or pick another package.</source>
        <translation>Rien n’a été envoyé&#xa0;; relancez ou choisissez un autre paquet.</translation>
    </message>
    <message>
        <source>Package &quot;%1&quot;: WLAN %2, DSP %3 for TXU and %4 for RXU.</source>
        <translation>Paquet «&#xa0;%1&#xa0;»&#xa0;: WLAN %2, DSP %3 pour TXU et %4 pour RXU.</translation>
    </message>
    <message>
        <source>Pick another package.</source>
        <translation>Choisissez un autre paquet.</translation>
    </message>
    <message>
        <source>Firmware update completed successfully</source>
        <translation>Mise à jour du micrologiciel réussie</translation>
    </message>
    <message>
        <source>Firmware update completed successfully.&lt;br&gt;</source>
        <translation>Mise à jour du micrologiciel réussie.&lt;br&gt;</translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde&#xa0;; la mise à jour n’est pas terminée. Attente de l’appareil...</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes&#xa0;; la mise à jour n’est pas terminée. Attente de l’appareil...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: the update is not complete.</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde&#xa0;: la mise à jour n’est pas terminée.</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes&#xa0;: la mise à jour n’est pas terminée.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde&#xa0;; rien n’a encore été envoyé. Attente de l’appareil...</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes&#xa0;; rien n’a encore été envoyé. Attente de l’appareil...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: nothing was sent.</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde&#xa0;: rien n’a été envoyé.</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes&#xa0;: rien n’a été envoyé.</numerusform>
        </translation>
    </message>
    <message>
        <source>Plug the device in again and repeat the update; the main window links it again when it answers.</source>
        <translation>Rebranchez l’appareil et recommencez la mise à jour&#xa0;; la fenêtre principale le reconnecte dès qu’il répond.</translation>
    </message>
    <message>
        <source>Repeat the update: pick the package again, or close this window and open it again.</source>
        <translation>Recommencez la mise à jour&#xa0;: choisissez de nouveau le paquet, ou fermez cette fenêtre et rouvrez-la.</translation>
    </message>
    <message>
        <source>The device keeps a half-written image and needs the update again.</source>
        <translation>L’appareil garde une image à moitié écrite et doit être mis à jour de nouveau.</translation>
    </message>
    <message>
        <source>The device answers again: it runs the new firmware.</source>
        <translation>L’appareil répond de nouveau&#xa0;: il fonctionne avec le nouveau micrologiciel.</translation>
    </message>
    <message>
        <source>Stop the update?</source>
        <translation>Arrêter la mise à jour&#xa0;?</translation>
    </message>
    <message>
        <source>Continue</source>
        <translation>Continuer</translation>
    </message>
    <message>
        <source>Stop Update</source>
        <translation>Arrêter la mise à jour</translation>
    </message>
    <message>
        <source>Update stopped.</source>
        <translation>La mise à jour a été arrêtée.</translation>
    </message>
    <message>
        <source>No device is linked.</source>
        <translation>Aucun appareil n’est connecté.</translation>
    </message>
    <message>
        <source>Device: %1 (asking for its versions...)</source>
        <translation>Appareil&#xa0;: %1 (demande de ses versions...)</translation>
    </message>
    <message>
        <source>Device: %1</source>
        <translation>Appareil&#xa0;: %1</translation>
    </message>
    <message>
        <source>Device: %1; WLAN %2, DSP %3.%4</source>
        <extracomment>A device, then its firmware versions: &quot;TXU Client (Slot 1) on ttyUSB0; WLAN 1650, DSP 3.12&quot;.</extracomment>
        <translation>Appareil&#xa0;: %1&#xa0;; WLAN %2, DSP %3.%4</translation>
    </message>
    <message>
        <source>Update stopped at %1 of the %2 image</source>
        <extracomment>%1 is a percentage (&quot;40%&quot;), %2 the image: WLAN or DSP.</extracomment>
        <translation>Mise à jour arrêtée à %1 de l’image %2</translation>
    </message>
    <message>
        <source>Stopped at %1</source>
        <translation>Arrêtée à %1</translation>
    </message>
    <message>
        <source>The device is restarting; the main window links it again when it answers.</source>
        <translation>L’appareil redémarre&#xa0;; la fenêtre principale le reconnecte dès qu’il répond.</translation>
    </message>
    <message>
        <source>Connection to the device lost</source>
        <translation>Connexion à l’appareil perdue</translation>
    </message>
    <message>
        <source>Nothing was sent</source>
        <translation>Rien n’a été envoyé</translation>
    </message>
    <message>
        <source>Update refused</source>
        <translation>Mise à jour refusée</translation>
    </message>
    <message>
        <source>Update not started</source>
        <translation>Mise à jour non commencée</translation>
    </message>
    <message>
        <source>Update complete</source>
        <translation>Mise à jour terminée</translation>
    </message>
    <message>
        <source>The device is restarting with its new firmware; the main window links it again when it answers.</source>
        <translation>L’appareil redémarre avec son nouveau micrologiciel&#xa0;; la fenêtre principale le reconnecte dès qu’il répond.</translation>
    </message>
    <message>
        <source>It is now safe to disconnect your device. Tavero Companion stays open and links the device again when it answers.</source>
        <translation>Vous pouvez maintenant débrancher votre appareil en toute sécurité. Tavero Companion reste ouvert et reconnecte l’appareil dès qu’il répond.</translation>
    </message>
</context>
<context>
    <name>FirmwareImage</name>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The image %1 holds %2 bytes; at most %3 bytes can be sent.</source>
        <translation>L’image %1 contient %2 octets&#xa0;; au plus %3 octets peuvent être envoyés.</translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation>Impossible de lire %1&#xa0;: %2</translation>
    </message>
    <message numerus="yes">
        <source>%1 changed or could not be read (%2 of %n bytes read).</source>
        <translation>
            <numerusform>%1 a changé ou n’a pas pu être lu (%2 sur %n octet lu).</numerusform>
            <numerusform>%1 a changé ou n’a pas pu être lu (%2 sur %n octets lus).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FirmwarePackage</name>
    <message>
        <source>The package %1 has no %2.</source>
        <translation>Le paquet %1 ne contient pas de fichier %2.</translation>
    </message>
    <message>
        <source>%1 in the package %2 is saved as UTF-16; it must be plain text (ASCII or UTF-8).</source>
        <translation>%1 dans le paquet %2 est enregistré en UTF-16&#xa0;; il doit être en texte brut (ASCII ou UTF-8).</translation>
    </message>
    <message>
        <source>%1 in the package %2 is empty.</source>
        <translation>%1 dans le paquet %2 est vide.</translation>
    </message>
    <message>
        <source>%1 in the package %2 has %3 of its four lines (the package&apos;s name, its WLAN version and the DSP versions for TXU and for RXU).</source>
        <translation>%1 dans le paquet %2 ne contient que %3 de ses quatre lignes (le nom du paquet, sa version WLAN et les versions DSP pour TXU et pour RXU).</translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation>%1 n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: %2</source>
        <translation>Le paquet %1 ne peut pas être utilisé&#xa0;: %2</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: line 2 of %2 holds nothing after its 5-byte label: the WLAN version must be a number.</source>
        <translation>Le paquet %1 ne peut pas être utilisé&#xa0;: la ligne 2 de %2 ne contient rien après son étiquette de 5 octets&#xa0;; la version WLAN doit être un nombre.</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: line 2 of %2 reads %3: the WLAN version after its 5-byte label must be a number.</source>
        <translation>Le paquet %1 ne peut pas être utilisé&#xa0;: la ligne 2 de %2 indique %3&#xa0;; la version WLAN après son étiquette de 5 octets doit être un nombre.</translation>
    </message>
</context>
<context>
    <name>FleetReport</name>
    <message>
        <source>running</source>
        <translation>en cours</translation>
    </message>
    <message>
        <source>fits</source>
        <translation>convient</translation>
    </message>
    <message>
        <source>updated</source>
        <translation>mis à jour</translation>
    </message>
    <message>
        <source>refused</source>
        <translation>refusé</translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation>interrompu</translation>
    </message>
    <message>
        <source>failed</source>
        <translation>en échec</translation>
    </message>
    <message>
        <source>starting</source>
        <translation>démarrage</translation>
    </message>
    <message>
        <source>checking</source>
        <translation>vérification</translation>
    </message>
    <message>
        <source>finishing</source>
        <translation>finalisation</translation>
    </message>
    <message>
        <source>no answer for %1 s</source>
        <translation>pas de réponse depuis %1 s</translation>
    </message>
    <message>
        <source>do not disconnect</source>
        <translation>ne pas débrancher</translation>
    </message>
    <message numerus="yes">
        <source>%n devices: %1</source>
        <translation>
            <numerusform>%n appareil&#xa0;: %1</numerusform>
            <numerusform>%n appareils&#xa0;: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more: %1</source>
        <translation>
            <numerusform>... et %n autre&#xa0;: %1</numerusform>
            <numerusform>... et %n autres&#xa0;: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n en cours</numerusform>
            <numerusform>%n en cours</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n fit</source>
        <translation>
            <numerusform>%n convient</numerusform>
            <numerusform>%n conviennent</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%n mis à jour</numerusform>
            <numerusform>%n mis à jour</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n refused</source>
        <translation>
            <numerusform>%n refusé</numerusform>
            <numerusform>%n refusés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n en échec</numerusform>
            <numerusform>%n en échec</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n interrupted</source>
        <translation>
            <numerusform>%n interrompu</numerusform>
            <numerusform>%n interrompus</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %2 (%3 of %n bytes%4)</source>
        <extracomment>&quot;WLAN 10% (12000 of 120000 bytes, 41.8 kB/s)&quot;: the image, the part of it done (&quot;10%&quot;), the bytes acknowledged of the image&apos;s %n, and in %4 the rate and the time, each after a comma (or nothing).</extracomment>
        <translation>
            <numerusform>%1 %2 (%3 sur %n octet%4)</numerusform>
            <numerusform>%1 %2 (%3 sur %n octets%4)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FleetUpdate</name>
    <message>
        <source>The port is in use by another program: nothing was sent.</source>
        <translation>Le port est utilisé par un autre programme&#xa0;: rien n’a été envoyé.</translation>
    </message>
    <message>
        <source>The port is in use by %1: nothing was sent.</source>
        <translation>Le port est utilisé par %1&#xa0;: rien n’a été envoyé.</translation>
    </message>
</context>
<context>
    <name>HeronTemp</name>
    <message>
        <source>Heron Temperature</source>
        <translation>Température Heron</translation>
    </message>
    <message>
        <source>Module temperature</source>
        <translation>Température du module</translation>
    </message>
    <message>
        <source>Get temperature</source>
        <translation>Lire la température</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Lire</translation>
    </message>
</context>
<context>
    <name>LinePrinter</name>
    <message>
        <source>Updating WLAN Firmware...</source>
        <translation>Mise à jour du micrologiciel WLAN...</translation>
    </message>
    <message>
        <source>Updating DSP Firmware...</source>
        <translation>Mise à jour du micrologiciel DSP...</translation>
    </message>
    <message>
        <source>Device port: %1</source>
        <translation>Port de l’appareil&#xa0;: %1</translation>
    </message>
    <message>
        <source>Device: %1, WLAN %2, DSP %3.%4</source>
        <translation>Appareil&#xa0;: %1, WLAN %2, DSP %3.%4</translation>
    </message>
    <message>
        <source>type unknown</source>
        <translation>type inconnu</translation>
    </message>
    <message>
        <source>Package &quot;%1&quot;: WLAN %2, DSP %3</source>
        <translation>Paquet «&#xa0;%1&#xa0;»&#xa0;: WLAN %2, DSP %3</translation>
    </message>
    <message>
        <source>The device is finishing the update. Do not disconnect it.</source>
        <translation>L’appareil termine la mise à jour. Ne le débranchez pas.</translation>
    </message>
    <message>
        <source>Firmware update completed successfully.</source>
        <translation>Mise à jour du micrologiciel réussie.</translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde&#xa0;; la mise à jour n’est pas terminée. Attente de l’appareil...</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes&#xa0;; la mise à jour n’est pas terminée. Attente de l’appareil...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde&#xa0;; rien n’a encore été envoyé. Attente de l’appareil...</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes&#xa0;; rien n’a encore été envoyé. Attente de l’appareil...</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Metrics</name>
    <message>
        <source>The address %1 is not HOST:PORT with a port from 1 to 65535, such as 127.0.0.1:9523.</source>
        <extracomment>%1 is what the user gave after --metrics.</extracomment>
        <translation>L’adresse %1 n’est pas de la forme HOST:PORT avec un port de 1 à 65535, comme 127.0.0.1:9523.</translation>
    </message>
    <message>
        <source>Cannot serve the metrics on %1: %2.</source>
        <extracomment>%1 is the address such as 127.0.0.1:9523, %2 the system&apos;s reason.</extracomment>
        <translation>Impossible de servir les métriques sur %1 : %2.</translation>
    </message>
    <message>
        <source>another program listens there</source>
        <translation>un autre programme y écoute</translation>
    </message>
    <message>
        <source>the address cannot be had</source>
        <translation>l’adresse n’est pas disponible</translation>
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
        <translation>%1 n’est pas un fichier ordinaire.</translation>
    </message>
    <message>
        <source>%1 is damaged (%2).</source>
        <translation>%1 est endommagé (%2).</translation>
    </message>
    <message>
        <source>%1 is encrypted in the package; it cannot be read.</source>
        <translation>%1 est chiffré dans le paquet&#xa0;; il ne peut pas être lu.</translation>
    </message>
    <message>
        <source>%1 is compressed in a way that cannot be read (method %2).</source>
        <translation>%1 est compressé d’une manière illisible (méthode %2).</translation>
    </message>
    <message>
        <source>%1 holds %2 bytes; a manifest holds at most %3 bytes.</source>
        <translation>%1 contient %2 octets&#xa0;; un manifeste contient au plus %3 octets.</translation>
    </message>
    <message>
        <source>%1 is damaged (it takes %2 bytes in the package for at most %3).</source>
        <translation>%1 est endommagé (il occupe %2 octets dans le paquet pour au plus %3).</translation>
    </message>
    <message>
        <source>%1 cannot be read from the package (%2).</source>
        <translation>%1 ne peut pas être lu dans le paquet (%2).</translation>
    </message>
    <message>
        <source>its checksum does not match</source>
        <translation>sa somme de contrôle ne correspond pas</translation>
    </message>
    <message>
        <source>%1 is not a zip archive.</source>
        <translation>%1 n’est pas une archive zip.</translation>
    </message>
    <message>
        <source>%1 holds %2 entries; a firmware package holds a few.</source>
        <translation>%1 contient %2 entrées&#xa0;; un paquet de micrologiciel n’en contient que quelques-unes.</translation>
    </message>
    <message>
        <source>%1 cannot be read (%2).</source>
        <translation>%1 ne peut pas être lu (%2).</translation>
    </message>
    <message>
        <source>%1 cannot be read as a zip archive (%2).</source>
        <translation>%1 ne peut pas être lu comme archive zip (%2).</translation>
    </message>
    <message>
        <source>%1 is damaged: its directory cannot be read.</source>
        <translation>%1 est endommagé&#xa0;: son répertoire ne peut pas être lu.</translation>
    </message>
    <message>
        <source>%1 is damaged: an entry has no name.</source>
        <translation>%1 est endommagé&#xa0;: une entrée n’a pas de nom.</translation>
    </message>
    <message>
        <source>The package holds two entries named &quot;%1&quot;.</source>
        <translation>Le paquet contient deux entrées nommées «&#xa0;%1&#xa0;».</translation>
    </message>
    <message>
        <source>The package holds two entries named &quot;%1&quot; and &quot;%2&quot;, which differ only in case.</source>
        <translation>Le paquet contient deux entrées nommées «&#xa0;%1&#xa0;» et «&#xa0;%2&#xa0;», qui ne diffèrent que par la casse.</translation>
    </message>
    <message>
        <source>The package names %1 &quot;%2&quot;: its files must be at its top level, without folders or &quot;..&quot; in their names.</source>
        <translation>Le paquet nomme %1 «&#xa0;%2&#xa0;»&#xa0;: ses fichiers doivent se trouver à sa racine, sans dossiers ni «&#xa0;..&#xa0;» dans leur nom.</translation>
    </message>
    <message>
        <source>%1 is damaged: it ends with more than one directory record, so what it holds cannot be told.</source>
        <translation>%1 est endommagé&#xa0;: il se termine par plus d’un enregistrement de répertoire, on ne peut donc pas dire ce qu’il contient.</translation>
    </message>
    <message numerus="yes">
        <source>it holds more than the %n bytes it claims</source>
        <translation>
            <numerusform>il contient plus que le %n octet annoncé</numerusform>
            <numerusform>il contient plus que les %n octets annoncés</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>it holds %1 of the %n bytes it claims</source>
        <translation>
            <numerusform>il contient %1 sur le %n octet annoncé</numerusform>
            <numerusform>il contient %1 des %n octets annoncés</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PackageInput</name>
    <message>
        <source>%1 (nothing was sent).</source>
        <translation>%1 (rien n’a été envoyé).</translation>
    </message>
    <message>
        <source>The package %1 cannot be used: %2</source>
        <translation>Le paquet %1 ne peut pas être utilisé&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>PortAccess</name>
    <message>
        <source>To use the port without root, plug the device in again or log in again (the udev rule 70-tavero-companion.rules that the package installs gives the user at the seat access), or join the dialout group with &quot;sudo adduser $USER dialout&quot; and log out and in again.</source>
        <translation>Pour utiliser le port sans être root, rebranchez l’appareil ou reconnectez-vous (la règle udev 70-tavero-companion.rules installée par le paquet donne l’accès à l’utilisateur de la session), ou rejoignez le groupe dialout avec «&#xa0;sudo adduser $USER dialout&#xa0;» puis déconnectez-vous et reconnectez-vous.</translation>
    </message>
    <message>
        <source>The port is in use by %1.</source>
        <translation>Le port est utilisé par %1.</translation>
    </message>
</context>
<context>
    <name>PortFinder</name>
    <message>
        <source>process %1</source>
        <translation>processus %1</translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation>%1 (processus %2)</translation>
    </message>
    <message>
        <source>reports no manufacturer</source>
        <translation>n’indique aucun fabricant</translation>
    </message>
    <message>
        <source>reports the manufacturer &quot;%1&quot;</source>
        <translation>indique le fabricant «&#xa0;%1&#xa0;»</translation>
    </message>
    <message>
        <source>%1, not &quot;%2&quot;</source>
        <translation>%1, et non «&#xa0;%2&#xa0;»</translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation>utilisé par un autre programme</translation>
    </message>
    <message>
        <source>in use by %1</source>
        <translation>utilisé par %1</translation>
    </message>
    <message>
        <source>Port named on the command line: %1</source>
        <translation>Port indiqué sur la ligne de commande&#xa0;: %1</translation>
    </message>
    <message>
        <source>, no permission</source>
        <translation>, pas d’autorisation</translation>
    </message>
    <message>
        <source>%1: device bridge, no permission</source>
        <translation>%1&#xa0;: pont de l’appareil, pas d’autorisation</translation>
    </message>
    <message>
        <source>%1: device bridge</source>
        <translation>%1&#xa0;: pont de l’appareil</translation>
    </message>
    <message>
        <source>%1: passed over, %2</source>
        <translation>%1&#xa0;: ignoré, %2</translation>
    </message>
    <message>
        <source>No serial ports were found.</source>
        <translation>Aucun port série n’a été trouvé.</translation>
    </message>
    <message>
        <source>Serial ports seen:</source>
        <translation>Ports série vus&#xa0;:</translation>
    </message>
    <message>
        <source>Port named on the command line: %1, the same port as %2</source>
        <translation>Port indiqué sur la ligne de commande&#xa0;: %1, le même port que %2</translation>
    </message>
</context>
<context>
    <name>ShowLog</name>
    <message numerus="yes">
        <source>The %n oldest entries went, to keep the log within its size.</source>
        <translation>
            <numerusform>L’entrée la plus ancienne a été retirée pour que le journal garde sa taille.</numerusform>
            <numerusform>Les %n entrées les plus anciennes ont été retirées pour que le journal garde sa taille.</numerusform>
        </translation>
    </message>
    <message>
        <source>link lost</source>
        <extracomment>What happened to a device, in the show log.</extracomment>
        <translation>liaison perdue</translation>
    </message>
    <message>
        <source>weak signal</source>
        <translation>signal faible</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>aucune mesure</translation>
    </message>
    <message>
        <source>unplugged</source>
        <translation>débranché</translation>
    </message>
    <message>
        <source>muted</source>
        <translation>muet</translation>
    </message>
    <message>
        <source>unmuted</source>
        <translation>son rétabli</translation>
    </message>
    <message>
        <source>+48V on</source>
        <translation>+48V activé</translation>
    </message>
    <message>
        <source>+48V off</source>
        <translation>+48V désactivé</translation>
    </message>
    <message>
        <source>channel %1 (was %2)</source>
        <extracomment>The RF channel changed: %1 the new one, %2 the one before.</extracomment>
        <translation>canal %1 (avant %2)</translation>
    </message>
    <message>
        <source>still on</source>
        <extracomment>An alarm whose cause lasts, in the show log&apos;s column &quot;How long&quot;.</extracomment>
        <translation>en cours</translation>
    </message>
    <message>
        <source>%1 s</source>
        <extracomment>A length in seconds: &quot;1.2 s&quot;.</extracomment>
        <translation>%1 s</translation>
    </message>
    <message>
        <source>Time</source>
        <extracomment>A column of the show log.</extracomment>
        <translation>Heure</translation>
    </message>
    <message>
        <source>Device</source>
        <translation>Appareil</translation>
    </message>
    <message>
        <source>Role</source>
        <translation>Rôle</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>What happened</source>
        <translation>Événement</translation>
    </message>
    <message>
        <source>How long</source>
        <translation>Durée</translation>
    </message>
</context>
<context>
    <name>ShowLogWindow</name>
    <message>
        <source>Show Log</source>
        <translation>Journal du spectacle</translation>
    </message>
    <message>
        <source>Alarms only</source>
        <translation>Alarmes seulement</translation>
    </message>
    <message>
        <source>Show log</source>
        <translation>Journal du spectacle</translation>
    </message>
    <message>
        <source>Every alarm and event of every device since the program started, newest first</source>
        <translation>Chaque alarme et chaque événement de tous les appareils depuis le démarrage du programme, le plus récent en premier</translation>
    </message>
    <message>
        <source>Save as CSV...</source>
        <translation>Enregistrer en CSV…</translation>
    </message>
    <message>
        <source>Save as JSON Lines...</source>
        <translation>Enregistrer en lignes JSON…</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Fermer</translation>
    </message>
    <message numerus="yes">
        <source>%n entries since the program started.</source>
        <extracomment>The show log&apos;s size: &quot;12 entries since the program started.&quot;</extracomment>
        <translation>
            <numerusform>%n entrée depuis le démarrage du programme.</numerusform>
            <numerusform>%n entrées depuis le démarrage du programme.</numerusform>
        </translation>
    </message>
    <message>
        <source>Save as JSON Lines</source>
        <translation>Enregistrer en lignes JSON</translation>
    </message>
    <message>
        <source>JSON lines (*.jsonl)</source>
        <translation>Lignes JSON (*.jsonl)</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>Enregistrer en CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>Could not save the show log to %1: %2</source>
        <translation>Impossible d’enregistrer le journal du spectacle dans %1 : %2</translation>
    </message>
</context>
<context>
    <name>ShowMonitor</name>
    <message>
        <source>%1 %2 since %3</source>
        <extracomment>A running alarm: what and since when (&quot;link lost since 21:14:03&quot;).</extracomment>
        <translation>%1 %2 depuis %3</translation>
    </message>
    <message>
        <source>%1, seen</source>
        <extracomment>A running alarm that the user has seen; it stays while its cause lasts.</extracomment>
        <translation>%1, vue</translation>
    </message>
    <message>
        <source>%1 %2 %3 for %4</source>
        <extracomment>A past alarm, until it is acknowledged: what, when it began and for how long (&quot;link lost 21:14:03 for 1.2 s&quot;).</extracomment>
        <translation>%1 %2 à %3 pendant %4</translation>
    </message>
    <message numerus="yes">
        <source>%n more</source>
        <extracomment>Past alarms of a device besides the one shown.</extracomment>
        <translation>
            <numerusform>%n autre alarme</numerusform>
            <numerusform>%n autres alarmes</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarms</source>
        <extracomment>Alarms that wait to be acknowledged, in a window&apos;s title and the main window.</extracomment>
        <translation>
            <numerusform>%n alarme</numerusform>
            <numerusform>%n alarmes</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShowSettings</name>
    <message>
        <source>The settings file %1 is damaged. The defaults apply, and the file is left as it is until you save the settings.</source>
        <extracomment>%1 is the settings file.</extracomment>
        <translation>Le fichier de réglages %1 est endommagé. Les valeurs par défaut s’appliquent, et le fichier reste tel quel jusqu’à ce que vous enregistriez les réglages.</translation>
    </message>
    <message>
        <source>The settings file %1 could not be read. The defaults apply, and the file is left as it is until you save the settings.</source>
        <extracomment>%1 is the settings file.</extracomment>
        <translation>Le fichier de réglages %1 n’a pas pu être lu. Les valeurs par défaut s’appliquent, et le fichier reste tel quel jusqu’à ce que vous enregistriez les réglages.</translation>
    </message>
    <message>
        <source>The settings could not be saved to %1.</source>
        <extracomment>%1 is the settings file.</extracomment>
        <translation>Les réglages n’ont pas pu être enregistrés dans %1.</translation>
    </message>
</context>
<context>
    <name>ShowSettingsDialog</name>
    <message>
        <source>Show Settings</source>
        <translation>Réglages du spectacle</translation>
    </message>
    <message>
        <source>Weak signal at or below:</source>
        <translation>Signal faible à ce niveau ou en dessous :</translation>
    </message>
    <message>
        <source> dBm</source>
        <translation> dBm</translation>
    </message>
    <message>
        <source>Signal good again when above it by:</source>
        <translation>Signal de nouveau bon à cet écart au-dessus :</translation>
    </message>
    <message>
        <source> dB</source>
        <translation> dB</translation>
    </message>
    <message>
        <source>Alarm once it has lasted:</source>
        <translation>Alarme après une durée de :</translation>
    </message>
    <message>
        <source> s</source>
        <translation> s</translation>
    </message>
    <message>
        <source>Announce each new alarm on the desktop while this program is in the background</source>
        <translation>Annoncer chaque nouvelle alarme sur le bureau tant que ce programme est en arrière-plan</translation>
    </message>
    <message>
        <source>%1 The defaults hold until you save.</source>
        <translation>%1 Les valeurs par défaut s’appliquent jusqu’à ce que vous enregistriez.</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>The settings hold until the program ends, but could not be kept: %1</source>
        <translation>Les réglages s’appliquent jusqu’à la fin du programme, mais n’ont pas pu être conservés : %1</translation>
    </message>
</context>
<context>
    <name>SignalHistory</name>
    <message>
        <source>Signal History</source>
        <extracomment>The Signal History&apos;s title with the name the user gave the device: &quot;Signal History: Lead vocal&quot;.</extracomment>
        <translation>Historique du signal</translation>
    </message>
    <message>
        <source>Signal Strength</source>
        <translation>Force du signal</translation>
    </message>
    <message>
        <source>Span:</source>
        <translation>Durée&#xa0;:</translation>
    </message>
    <message>
        <source>Span</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>How much time the plots show</source>
        <translation>La durée que montrent les graphiques</translation>
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
        <translation>Tout</translation>
    </message>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Save as CSV… saves every device&apos;s history in one file, with a port column</source>
        <translation>«&#xa0;Enregistrer en CSV…&#xa0;» enregistre l’historique de chaque appareil dans un seul fichier, avec une colonne pour le port</translation>
    </message>
    <message>
        <source>All devices</source>
        <translation>Tous les appareils</translation>
    </message>
    <message>
        <source>Save as CSV…</source>
        <translation>Enregistrer en CSV…</translation>
    </message>
    <message>
        <source>Save as PNG…</source>
        <translation>Enregistrer en PNG…</translation>
    </message>
    <message>
        <source>Plots</source>
        <translation>Graphiques</translation>
    </message>
    <message>
        <source>Sniffer</source>
        <translation>Sniffer</translation>
    </message>
    <message>
        <source>Time shown</source>
        <translation>Période affichée</translation>
    </message>
    <message>
        <source>Moves the plots back in time; at the right end they follow the newest data</source>
        <translation>Remonte le temps dans les graphiques&#xa0;; à l’extrémité droite, ils suivent les données les plus récentes</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>aucune mesure</translation>
    </message>
    <message>
        <source>no link</source>
        <translation>pas de liaison</translation>
    </message>
    <message>
        <source>link lost</source>
        <translation>liaison perdue</translation>
    </message>
    <message>
        <source>port lost</source>
        <translation>port perdu</translation>
    </message>
    <message>
        <source>%1: no readings</source>
        <extracomment>%1 is a plotted series: &quot;From TXU&quot;, &quot;RSSI A&quot;.</extracomment>
        <translation>%1&#xa0;: aucune mesure</translation>
    </message>
    <message>
        <source>%1: min %2 · mean %3 · max %4</source>
        <extracomment>The minimum, mean and maximum of a series over the stretch shown.</extracomment>
        <translation>%1&#xa0;: min. %2 · moy. %3 · max. %4</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 Ko</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 Mo</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>de %1 à %2</translation>
    </message>
    <message>
        <source>Signal levels over time</source>
        <translation>Niveaux du signal dans le temps</translation>
    </message>
    <message>
        <source>Beacons and audio packets over time</source>
        <translation>Balises et paquets audio dans le temps</translation>
    </message>
    <message>
        <source>RSSI over time</source>
        <translation>RSSI dans le temps</translation>
    </message>
    <message>
        <source>no device</source>
        <translation>aucun appareil</translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation>Depuis le TXU</translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation>Depuis le répéteur</translation>
    </message>
    <message>
        <source>Beacons A</source>
        <translation>Balises A</translation>
    </message>
    <message>
        <source>Audio A</source>
        <translation>Audio A</translation>
    </message>
    <message>
        <source>Beacons B</source>
        <translation>Balises B</translation>
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
        <translation>Aucun appareil.</translation>
    </message>
    <message>
        <source>Device: %1.</source>
        <translation>Appareil&#xa0;: %1.</translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation>Enregistrer en CSV</translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation>Fichiers CSV (*.csv)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>The oldest records no longer fitted in memory: the file holds the newest records, from %1 on, after the state of the link then.</source>
        <translation>Les enregistrements les plus anciens ne tenaient plus en mémoire&#xa0;: le fichier contient les plus récents, à partir de %1, après l’état de la liaison à ce moment.</translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation>Enregistrer en PNG</translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation>Images PNG (*.png)</translation>
    </message>
    <message>
        <source>Could not save the plot to %1: %2</source>
        <translation>Impossible d’enregistrer le graphique dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>%1 · %2 · %3: %4</source>
        <translation>%1 · %2 · %3&#xa0;: %4</translation>
    </message>
    <message numerus="yes">
        <source>Recording since %1: %n records, %2 of %3.</source>
        <translation>
            <numerusform>Enregistrement depuis %1&#xa0;: %n relevé, %2 sur %3.</numerusform>
            <numerusform>Enregistrement depuis %1&#xa0;: %n relevés, %2 sur %3.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Memory full: the oldest %n records were dropped; the recording now starts at %1. </source>
        <translation>
            <numerusform>Mémoire pleine&#xa0;: le relevé le plus ancien a été supprimé&#xa0;; l’enregistrement commence maintenant à %1. </numerusform>
            <numerusform>Mémoire pleine&#xa0;: les %n relevés les plus anciens ont été supprimés&#xa0;; l’enregistrement commence maintenant à %1. </numerusform>
        </translation>
    </message>
    <message>
        <source>Saving as CSV… %1</source>
        <translation>Enregistrement en CSV… %1</translation>
    </message>
    <message>
        <source>Could not save the signal history to %1: %2</source>
        <translation>Impossible d’enregistrer l’historique du signal dans %1&#xa0;: %2</translation>
    </message>
    <message>
        <source>Signal History: %1</source>
        <translation>Historique du signal : %1</translation>
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
        <translation>Relevés du sniffer</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Démarrer</translation>
    </message>
    <message>
        <source>Start (Rep Mode)</source>
        <translation>Démarrer (répéteur)</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Arrêter</translation>
    </message>
    <message>
        <source>Save…</source>
        <translation>Enregistrer…</translation>
    </message>
    <message>
        <source>Save Sniffer Lines</source>
        <translation>Enregistrer les lignes du sniffer</translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation>Fichiers texte (*.txt)</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>The oldest lines no longer fitted in memory: the file holds the newest lines, from %1 on.</source>
        <translation>Les lignes les plus anciennes ne tenaient plus en mémoire&#xa0;: le fichier contient les plus récentes, à partir de %1.</translation>
    </message>
    <message>
        <source>Saving… %1</source>
        <translation>Enregistrement… %1</translation>
    </message>
    <message>
        <source>Could not save the sniffer lines to %1: %2</source>
        <translation>Impossible d’enregistrer les lignes du sniffer dans %1&#xa0;: %2</translation>
    </message>
</context>
<context>
    <name>StatusDisplay</name>
    <message>
        <source>No device found</source>
        <translation>Aucun appareil trouvé</translation>
    </message>
    <message>
        <source>Updating Device Information...</source>
        <translation>Mise à jour des informations de l’appareil...</translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation>État de la liaison</translation>
    </message>
    <message>
        <source>Repeater Mode</source>
        <translation>Mode répéteur</translation>
    </message>
    <message>
        <source>Link Status: no link</source>
        <translation>État de la liaison&#xa0;: pas de liaison</translation>
    </message>
    <message>
        <source>Link Status: linked</source>
        <translation>État de la liaison&#xa0;: relié</translation>
    </message>
    <message>
        <source>Link Status: link state %1</source>
        <translation>État de la liaison&#xa0;: état %1</translation>
    </message>
    <message>
        <source>Repeater Mode: on</source>
        <translation>Mode répéteur&#xa0;: activé</translation>
    </message>
    <message>
        <source>Repeater Mode: off</source>
        <translation>Mode répéteur&#xa0;: désactivé</translation>
    </message>
    <message>
        <source>+48V: on</source>
        <translation>+48V&#xa0;: activé</translation>
    </message>
    <message>
        <source>+48V: off</source>
        <translation>+48V&#xa0;: désactivé</translation>
    </message>
    <message>
        <source>Muted</source>
        <translation>Muet</translation>
    </message>
    <message>
        <source>Not muted</source>
        <translation>Non muet</translation>
    </message>
    <message>
        <source>%1: no device</source>
        <extracomment>%1 is a lamp&apos;s caption: &quot;Link Status&quot;, &quot;Repeater Mode&quot; or &quot;+48V&quot;.</extracomment>
        <translation>%1&#xa0;: aucun appareil</translation>
    </message>
    <message>
        <source>good</source>
        <extracomment>The band of a signal level, beside a level in dBm and on the plots.</extracomment>
        <translation>bon</translation>
    </message>
    <message>
        <source>fair</source>
        <translation>moyen</translation>
    </message>
    <message>
        <source>weak</source>
        <translation>faible</translation>
    </message>
    <message>
        <source>no reading</source>
        <translation>aucune mesure</translation>
    </message>
    <message>
        <source>Link Status: good signal</source>
        <translation>État de la liaison&#xa0;: bon signal</translation>
    </message>
    <message>
        <source>Link Status: fair signal</source>
        <translation>État de la liaison&#xa0;: signal moyen</translation>
    </message>
    <message>
        <source>Link Status: weak signal</source>
        <translation>État de la liaison&#xa0;: signal faible</translation>
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
        <translation>Gain&#xa0;: %1</translation>
    </message>
    <message>
        <source>Input mode: %1</source>
        <extracomment>%1 is the input mode (&quot;MIC Mode&quot;), or &quot;none&quot;.</extracomment>
        <translation>Mode d’entrée&#xa0;: %1</translation>
    </message>
    <message>
        <source>none</source>
        <translation>aucun</translation>
    </message>
    <message>
        <source>Hi-Z Mode</source>
        <extracomment>Hi-Z, MIC and LINE are the device&apos;s names of its inputs.</extracomment>
        <translation>Mode Hi-Z</translation>
    </message>
    <message>
        <source>MIC Mode</source>
        <translation>Mode MIC</translation>
    </message>
    <message>
        <source>LINE Mode</source>
        <translation>Mode LINE</translation>
    </message>
    <message>
        <source>Master</source>
        <extracomment>The device&apos;s role.</extracomment>
        <translation>Maître</translation>
    </message>
    <message>
        <source>TXU Client (Slot %1)</source>
        <translation>Client TXU (emplacement %1)</translation>
    </message>
    <message>
        <source>RXU Client (Master Slot)</source>
        <translation>Client RXU (emplacement maître)</translation>
    </message>
    <message>
        <source>RXU Client (Slot %1)</source>
        <translation>Client RXU (emplacement %1)</translation>
    </message>
    <message>
        <source>Repeater</source>
        <translation>Répéteur</translation>
    </message>
    <message>
        <source>Unknown Device</source>
        <translation>Appareil inconnu</translation>
    </message>
    <message>
        <source>Beacons:</source>
        <translation>Balises&#xa0;:</translation>
    </message>
    <message>
        <source>Audio:</source>
        <translation>Audio&#xa0;:</translation>
    </message>
    <message>
        <source>RSSI:</source>
        <translation>RSSI&#xa0;:</translation>
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
        <translation>Appareil débranché</translation>
    </message>
</context>
<context>
    <name>TVC</name>
    <message>
        <source>Repeater Mode</source>
        <translation>Mode répéteur</translation>
    </message>
    <message>
        <source>Serial Port:</source>
        <translation>Port série&#xa0;:</translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation>Port série</translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation>Actualiser</translation>
    </message>
    <message>
        <source>Master Mode</source>
        <translation>Mode maître</translation>
    </message>
    <message>
        <source>RF Channel</source>
        <translation>Canal RF</translation>
    </message>
    <message>
        <source>RF channel</source>
        <translation>Canal RF</translation>
    </message>
    <message>
        <source>Link</source>
        <translation>Liaison</translation>
    </message>
    <message>
        <source>Gain/Mute</source>
        <translation>Gain/Muet</translation>
    </message>
    <message>
        <source>Gain up</source>
        <translation>Augmenter le gain</translation>
    </message>
    <message>
        <source>Gain down</source>
        <translation>Diminuer le gain</translation>
    </message>
    <message>
        <source>Mute</source>
        <translation>Muet</translation>
    </message>
    <message>
        <source>Transmission Quality</source>
        <translation>Qualité de transmission</translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation>État de la liaison</translation>
    </message>
    <message>
        <source>Signal Strength</source>
        <translation>Force du signal</translation>
    </message>
    <message>
        <source>From TXU:</source>
        <translation>Depuis le TXU&#xa0;:</translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation>Depuis le TXU</translation>
    </message>
    <message>
        <source>From Repeater:</source>
        <translation>Depuis le répéteur&#xa0;:</translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation>Depuis le répéteur</translation>
    </message>
    <message>
        <source>Options</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>About</source>
        <translation>À propos</translation>
    </message>
    <message>
        <source>Device Version</source>
        <translation>Version de l’appareil</translation>
    </message>
    <message>
        <source>Heron Temperature</source>
        <translation>Température Heron</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Infos</translation>
    </message>
    <message>
        <source>Service Mode</source>
        <translation>Mode service</translation>
    </message>
    <message>
        <source>Sniffer</source>
        <translation>Sniffer</translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>Signal History</source>
        <translation>Historique du signal</translation>
    </message>
    <message>
        <source>All Devices</source>
        <translation>Tous les appareils</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Enregistrer le produit</translation>
    </message>
    <message>
        <source>Please wait for the device to startup and then press OK.</source>
        <translation>Veuillez attendre le démarrage de l’appareil, puis appuyez sur OK.</translation>
    </message>
    <message>
        <source>For TXU in Master Mode, wait till the LINK LED turns green.</source>
        <extracomment>LINK is the name of the device&apos;s button and LED.</extracomment>
        <translation>Pour un TXU en mode maître, attendez que la LED LINK passe au vert.</translation>
    </message>
    <message>
        <source>More information on various device startup modes can be found in the user guide.</source>
        <translation>Le guide de l’utilisateur décrit plus en détail les différents modes de démarrage de l’appareil.</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Service Mode Enable</source>
        <translation>Activer le mode service</translation>
    </message>
    <message>
        <source>Enter Service Code</source>
        <translation>Saisissez le code de service</translation>
    </message>
    <message>
        <source>Almost...</source>
        <translation>Presque...</translation>
    </message>
    <message>
        <source>Forgot the &apos;x&apos;?</source>
        <translation>Vous avez oublié le «&#xa0;x&#xa0;»&#xa0;?</translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation>Bienvenue</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Erreur</translation>
    </message>
    <message>
        <source>The link to the device on the serial port %1 was closed.</source>
        <translation>La liaison avec l’appareil sur le port série %1 a été fermée.</translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation>Erreur critique</translation>
    </message>
    <message>
        <source>The device this window shows and controls</source>
        <translation>L’appareil que cette fenêtre affiche et commande</translation>
    </message>
    <message>
        <source>Choose Device</source>
        <translation>Choisir un appareil</translation>
    </message>
    <message>
        <source>Shows another attached device in this window</source>
        <translation>Affiche dans cette fenêtre un autre appareil branché</translation>
    </message>
    <message>
        <source>User Guide</source>
        <translation>Guide de l’utilisateur</translation>
    </message>
    <message>
        <source>The alarms that wait to be seen</source>
        <translation>Les alarmes qui attendent d’être vues</translation>
    </message>
    <message>
        <source>Show Log</source>
        <translation>Journal du spectacle</translation>
    </message>
    <message>
        <source>Show Settings</source>
        <translation>Réglages du spectacle</translation>
    </message>
    <message>
        <source>This device: %1</source>
        <extracomment>The main window&apos;s own device&apos;s alarms, after the count of all.</extracomment>
        <translation>Cet appareil : %1</translation>
    </message>
    <message>
        <source>%1 (%2)</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>Alarm: %1: %2</source>
        <extracomment>A new alarm as a screen reader and the desktop tell it: &quot;Alarm: Lead vocal (ttyUSB0): link lost&quot;.</extracomment>
        <translation>Alarme : %1 : %2</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <extracomment>A device&apos;s port (and serial number), then its firmware versions: &quot;ttyUSB0; WLAN 1660, DSP 3.13&quot;.</extracomment>
        <translation>%1&#xa0;; %2</translation>
    </message>
</context>
<context>
    <name>TransferProgress</name>
    <message>
        <source>%1 kB/s</source>
        <translation>%1 ko/s</translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation>encore environ %1 s</translation>
    </message>
    <message>
        <source>about %1 min %2 s left</source>
        <translation>encore environ %1 min %2 s</translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation>encore environ %1 h %2 min</translation>
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
        <translation>le WLAN de l’appareil est plus récent que celui du paquet et hors de la plage 1600 à 1699</translation>
    </message>
    <message>
        <source>the device&apos;s WLAN is outside 1600 to 1699</source>
        <translation>le WLAN de l’appareil est hors de la plage 1600 à 1699</translation>
    </message>
    <message>
        <source>the device&apos;s WLAN is newer than the package&apos;s</source>
        <translation>le WLAN de l’appareil est plus récent que celui du paquet</translation>
    </message>
    <message>
        <source>the package&apos;s DSP version is not major.minor</source>
        <translation>la version DSP du paquet n’est pas de la forme majeure.mineure</translation>
    </message>
    <message>
        <source>the DSP major versions differ</source>
        <translation>les versions majeures du DSP diffèrent</translation>
    </message>
    <message>
        <source>a device DSP of minor version 0 is never updated</source>
        <translation>un DSP d’appareil de version mineure 0 n’est jamais mis à jour</translation>
    </message>
    <message>
        <source>the device&apos;s DSP is newer than the package&apos;s</source>
        <translation>le DSP de l’appareil est plus récent que celui du paquet</translation>
    </message>
    <message>
        <source>the package is not one for this device</source>
        <translation>le paquet n’est pas destiné à cet appareil</translation>
    </message>
    <message>
        <source>The package fits the device.</source>
        <translation>Le paquet convient à l’appareil.</translation>
    </message>
    <message>
        <source>The package does not fit the device (device WLAN %1, DSP %2.%3; package WLAN %4, DSP %5): %6</source>
        <translation>Le paquet ne convient pas à l’appareil (appareil WLAN %1, DSP %2.%3&#xa0;; paquet WLAN %4, DSP %5)&#xa0;: %6</translation>
    </message>
</context>
<context>
    <name>UpdateRun</name>
    <message>
        <source>Connection to the device lost (%1)</source>
        <translation>Connexion à l’appareil perdue (%1)</translation>
    </message>
    <message>
        <source>%1: the check is not complete.</source>
        <translation>%1&#xa0;: la vérification n’est pas terminée.</translation>
    </message>
    <message>
        <source>%1: the update is not complete.</source>
        <translation>%1&#xa0;: la mise à jour n’est pas terminée.</translation>
    </message>
    <message>
        <source>%1: nothing was sent.</source>
        <translation>%1&#xa0;: rien n’a été envoyé.</translation>
    </message>
    <message>
        <source>Cannot use the serial port %1 (%2)</source>
        <translation>Impossible d’utiliser le port série %1 (%2)</translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation>Interrompu</translation>
    </message>
    <message>
        <source>The device did not report a type that the package has a DSP image for</source>
        <translation>L’appareil n’a pas indiqué de type pour lequel le paquet contient une image DSP</translation>
    </message>
    <message>
        <source>The device&apos;s answer to chunk %1 of %2 of the %3 image came damaged</source>
        <translation>La réponse de l’appareil au bloc %1 sur %2 de l’image %3 est arrivée endommagée</translation>
    </message>
    <message>
        <source>The update can be started again.</source>
        <translation>La mise à jour peut être relancée.</translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds</source>
        <translation>
            <numerusform>L’appareil n’a pas répondu depuis %n seconde</numerusform>
            <numerusform>L’appareil n’a pas répondu depuis %n secondes</numerusform>
        </translation>
    </message>
    <message>
        <source>%1; nothing was sent.</source>
        <translation>%1&#xa0;; rien n’a été envoyé.</translation>
    </message>
</context>
<context>
    <name>UpdateTool</name>
    <message>
        <source>Interrupted while the package was read: nothing was sent.</source>
        <translation>Interrompu pendant la lecture du paquet&#xa0;: rien n’a été envoyé.</translation>
    </message>
    <message>
        <source>No device found (no free serial port reports the manufacturer &quot;%1&quot;)</source>
        <translation>Aucun appareil trouvé (aucun port série libre n’indique le fabricant «&#xa0;%1&#xa0;»)</translation>
    </message>
    <message>
        <source>; %1 is in use by %2</source>
        <translation>&#xa0;; %1 est utilisé par %2</translation>
    </message>
    <message>
        <source>%1: nothing was sent.</source>
        <translation>%1&#xa0;: rien n’a été envoyé.</translation>
    </message>
    <message>
        <source>; %1 is in use by another program</source>
        <translation>&#xa0;; %1 est utilisé par un autre programme</translation>
    </message>
</context>
<context>
    <name>UserGuide</name>
    <message>
        <source>User Guide</source>
        <translation>Guide de l’utilisateur</translation>
    </message>
    <message>
        <source>The user guide was not found on this computer. The Tavero Companion package installs it as %1.</source>
        <translation>Le guide de l’utilisateur est introuvable sur cet ordinateur. Le paquet de Tavero Companion l’installe sous %1.</translation>
    </message>
    <message>
        <source>No program to show the user guide was found. It is the file %1.</source>
        <translation>Aucun programme capable d’afficher le guide de l’utilisateur n’a été trouvé. Il s’agit du fichier %1.</translation>
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
        <translation>aucune mesure</translation>
    </message>
    <message>
        <source> (%1 to %2, mean %3)</source>
        <extracomment>The lowest, mean and highest level of the interval, after the last one.</extracomment>
        <translation> (%1 à %2, moyenne %3)</translation>
    </message>
    <message>
        <source>held by another program</source>
        <translation>occupé par un autre programme</translation>
    </message>
    <message>
        <source>held by %1</source>
        <translation>occupé par %1</translation>
    </message>
    <message>
        <source>not read</source>
        <translation>non lu</translation>
    </message>
    <message>
        <source>up</source>
        <translation>établie</translation>
    </message>
    <message>
        <source>down</source>
        <translation>coupée</translation>
    </message>
    <message>
        <source>muted</source>
        <translation>muet</translation>
    </message>
    <message>
        <source>no</source>
        <translation>non</translation>
    </message>
    <message>
        <source>on</source>
        <translation>activée</translation>
    </message>
    <message>
        <source>off</source>
        <translation>désactivée</translation>
    </message>
    <message>
        <source>PORT</source>
        <extracomment>Column titles of tvc-watch&apos;s table; +48V is the phantom power.</extracomment>
        <translation>PORT</translation>
    </message>
    <message>
        <source>NAME</source>
        <translation>NOM</translation>
    </message>
    <message>
        <source>ROLE</source>
        <translation>RÔLE</translation>
    </message>
    <message>
        <source>LINK</source>
        <translation>LIAISON</translation>
    </message>
    <message>
        <source>TXU SIGNAL</source>
        <translation>SIGNAL TXU</translation>
    </message>
    <message>
        <source>REPEATER SIGNAL</source>
        <translation>SIGNAL RÉPÉTEUR</translation>
    </message>
    <message>
        <source>MUTE</source>
        <translation>MUET</translation>
    </message>
    <message>
        <source>+48V</source>
        <translation>+48V</translation>
    </message>
    <message>
        <source>GAIN</source>
        <translation>GAIN</translation>
    </message>
    <message>
        <source>CHANNEL</source>
        <translation>CANAL</translation>
    </message>
    <message>
        <source>ALARMS</source>
        <translation>ALARMES</translation>
    </message>
    <message>
        <source>alarm: %1</source>
        <extracomment>An alarm began: &quot;alarm: link lost&quot;.</extracomment>
        <translation>alarme : %1</translation>
    </message>
    <message>
        <source>alarm over: %1 (%2)</source>
        <extracomment>An alarm is over: &quot;alarm over: link lost (1.2 s)&quot;.</extracomment>
        <translation>fin d’alarme : %1 (%2)</translation>
    </message>
</context>
<context>
    <name>WatchTool</name>
    <message>
        <source>No device found (no serial port reports the manufacturer &quot;%1&quot;).</source>
        <translation>Aucun appareil trouvé (aucun port série n’indique le fabricant &quot;%1&quot;).</translation>
    </message>
    <message>
        <source>No device on %1.</source>
        <translation>Aucun appareil sur %1.</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows the status of a Tavero wireless audio device, controls it and updates its firmware.
Without --port it looks for the device on the serial ports whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;.</source>
        <translation>Affiche l’état d’un appareil audio sans fil Tavero, le pilote et met à jour son micrologiciel.
Sans --port, il cherche l’appareil sur les ports série dont le pont USB indique le fabricant «&#xa0;Silicon Lab&#xa0;».</translation>
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
        <translation>Met à jour le micrologiciel d’un appareil Tavero à partir d’un paquet, comme le
fait la fenêtre de mise à jour de Tavero Companion&#xa0;: il demande à l’appareil son
type et ses versions, les compare au paquet, envoie l’image WLAN et l’image DSP
du type de l’appareil, puis attend que l’appareil confirme la mise à jour.

Avec --all, ou --port donné plusieurs fois, il met à jour plusieurs appareils à
la fois, chacun pour soi, et termine par une ligne de bilan par appareil et un
décompte des résultats.

Code de sortie&#xa0;: 0 mis à jour (avec --check&#xa0;: le paquet convient), 1 refusé par
la vérification des versions, 2 erreur d’utilisation ou de paquet, 3 échec de
l’appareil ou de la liaison, 130 interrompu. Avec plusieurs appareils&#xa0;: 0 si tous
ont été mis à jour, 1 si les seuls échecs sont des refus, 3 si un appareil a
échoué.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Afficher cette aide.</translation>
    </message>
    <message>
        <source>Show the program&apos;s name and version.</source>
        <translation>Afficher le nom et la version du programme.</translation>
    </message>
    <message>
        <source>Use the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of the first free port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;. Give it several times to update several devices at once.</source>
        <translation>Utiliser le port série NAME (par exemple ttyUSB0 ou /dev/pts/3) au lieu du premier port libre dont le pont USB indique le fabricant «&#xa0;Silicon Lab&#xa0;». Donné plusieurs fois, met à jour plusieurs appareils à la fois.</translation>
    </message>
    <message>
        <source>Update every device at once: every free port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;.</source>
        <translation>Mettre à jour tous les appareils à la fois&#xa0;: chaque port libre dont le pont USB indique le fabricant «&#xa0;Silicon Lab&#xa0;».</translation>
    </message>
    <message>
        <source>Print each image&apos;s size and SHA-256, ask and check the versions only; send no image.</source>
        <translation>Afficher la taille et le SHA-256 de chaque image, seulement demander et vérifier les versions&#xa0;; n’envoyer aucune image.</translation>
    </message>
    <message>
        <source>Send the single image FILE without any check (service use).</source>
        <translation>Envoyer la seule image FILE sans aucune vérification (usage service).</translation>
    </message>
    <message>
        <source>The unit of the --raw image: wlan or dsp (default: wlan for *.bin, dsp otherwise).</source>
        <translation>L’unité de l’image --raw&#xa0;: wlan ou dsp (par défaut&#xa0;: wlan pour *.bin, dsp sinon).</translation>
    </message>
    <message>
        <source>Give up when the device stays silent this long (default 30).</source>
        <translation>Abandonner si l’appareil reste muet aussi longtemps (30 par défaut).</translation>
    </message>
    <message>
        <source>The firmware package.</source>
        <translation>Le paquet de micrologiciel.</translation>
    </message>
    <message>
        <source>--all and --port exclude each other.</source>
        <translation>--all et --port s’excluent mutuellement.</translation>
    </message>
    <message>
        <source>The port %1 is named twice.</source>
        <translation>Le port %1 est indiqué deux fois.</translation>
    </message>
    <message>
        <source>The timeout must be a whole number of seconds from 1 to 86400.</source>
        <translation>Le délai doit être un nombre entier de secondes entre 1 et 86400.</translation>
    </message>
    <message>
        <source>--raw sends one image: it takes no package and no --check.</source>
        <translation>--raw envoie une image&#xa0;: il ne prend ni paquet ni --check.</translation>
    </message>
    <message>
        <source>--unit is wlan or dsp.</source>
        <translation>--unit vaut wlan ou dsp.</translation>
    </message>
    <message>
        <source>--unit goes with --raw.</source>
        <translation>--unit va avec --raw.</translation>
    </message>
    <message>
        <source>Name one firmware package (see --help).</source>
        <translation>Indiquez un paquet de micrologiciel (voir --help).</translation>
    </message>
    <message>
        <source>Use the serial port NAME (a port name such as ttyUSB0, or a device path such as /dev/pts/3) instead of searching for the device. Repeated, each port is listed in All Devices, and the window takes the first that is there.</source>
        <translation>Utiliser le port série NAME (un nom de port comme ttyUSB0 ou un chemin de périphérique comme /dev/pts/3) au lieu de chercher l’appareil. Donné plusieurs fois, chaque port figure dans «&#xa0;Tous les appareils&#xa0;» et la fenêtre prend le premier présent.</translation>
    </message>
    <message>
        <source>Serve the metrics of the devices the window holds for Prometheus at http://ADDR:PORT/metrics, as tvc-watch does.</source>
        <translation>Sert les métriques des appareils que la fenêtre tient pour Prometheus sur http://ADDR:PORT/metrics, comme le fait tvc-watch.</translation>
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
        <translation>Montre chaque appareil Tavero branché, sans fenêtre : son rôle, sa liaison, ses niveaux de signal,
ses réglages audio et ses alarmes, pour les scripts et la surveillance. Par défaut, il lit chaque appareil
une fois et affiche un tableau ; --follow continue de surveiller.

Code de sortie : 0 chaque appareil a été lu, 1 aucun appareil trouvé, 2 erreur d’utilisation ou
adresse des métriques indisponible, 3 un appareil n’a pas pu être lu.</translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation>Affiche cette aide.</translation>
    </message>
    <message>
        <source>Show the program&apos;s name and version.</source>
        <translation>Affiche le nom et la version du programme.</translation>
    </message>
    <message>
        <source>Watch the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of every port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;. Give it several times for several devices.</source>
        <translation>Surveille le port série NAME (comme ttyUSB0 ou /dev/pts/3) au lieu de chaque port dont le pont USB indique le fabricant &quot;Silicon Lab&quot;. À répéter pour plusieurs appareils.</translation>
    </message>
    <message>
        <source>Keep watching: print events and alarms as they happen, and a reading of every device with the lowest, mean and highest signal level of each interval.</source>
        <translation>Continue de surveiller : affiche les événements et les alarmes dès qu’ils surviennent, et une mesure de chaque appareil avec le niveau de signal le plus bas, moyen et le plus haut de chaque intervalle.</translation>
    </message>
    <message>
        <source>With --follow, a reading every SECONDS (default 1).</source>
        <translation>Avec --follow, une mesure toutes les SECONDS secondes (1 par défaut).</translation>
    </message>
    <message>
        <source>Print one JSON object per line.</source>
        <translation>Affiche un objet JSON par ligne.</translation>
    </message>
    <message>
        <source>Print CSV with one header row.</source>
        <translation>Affiche du CSV avec une ligne d’en-tête.</translation>
    </message>
    <message>
        <source>Serve Prometheus metrics at http://ADDR:PORT/metrics while following (implies --follow).</source>
        <translation>Sert des métriques Prometheus sur http://ADDR:PORT/metrics pendant la surveillance (implique --follow).</translation>
    </message>
    <message>
        <source>tvc-watch takes no arguments but its options (see --help).</source>
        <translation>tvc-watch ne prend aucun argument hormis ses options (voir --help).</translation>
    </message>
    <message>
        <source>The port %1 is named twice.</source>
        <translation>Le port %1 est nommé deux fois.</translation>
    </message>
    <message>
        <source>--json and --csv exclude each other.</source>
        <translation>--json et --csv s’excluent mutuellement.</translation>
    </message>
    <message>
        <source>The interval must be from 0.1 to 3600 seconds.</source>
        <translation>L’intervalle doit être compris entre 0,1 et 3600 secondes.</translation>
    </message>
    <message>
        <source>--interval goes with --follow.</source>
        <translation>--interval ne va qu’avec --follow.</translation>
    </message>
</context>
</TS>
