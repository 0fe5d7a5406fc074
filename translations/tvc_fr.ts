<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>AllDevices</name>
    <message>
        <source>All Devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>One row a device; Enter or a double click shows it in the main window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Asks every device for signal-strength reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signal Strength for All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Shows the chosen device in the main window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show in Main Window</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No device found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 linked, %2 in use by other programs, %3 not connected.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BackgroundSave</name>
    <message>
        <source>the save was stopped</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not save %1 to %2: %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the file could not be written</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeviceListModel</name>
    <message>
        <source>busy: in use by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>busy: in use by %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>unplugged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>cannot be opened: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not connected</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>firmware update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>asking the device...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>linked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>link state %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reports off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>muted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>not muted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+48V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Input</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RF Channel</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>DeviceSession</name>
    <message>
        <source>Could not open the serial port %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not set up the serial port %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FWUpdate</name>
    <message>
        <source>Firmware Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Package:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose a firmware package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose firmware package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start Firmware Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update progress</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating WLAN Firmware...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating DSP Firmware...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device is finishing the update. Do not disconnect it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection to the device lost: the update is not complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device&apos;s answer to chunk %1 of %2 of the %3 image came damaged: the update is not complete.</source>
        <extracomment>%3 is the image: WLAN or DSP.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plug the device in again, close this window, start Tavero Companion again and repeat the update.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close this window, start Tavero Companion again and repeat the update.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connected devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No devices found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open Firmware Package</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Files (*.bin *.ldr)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Files (*.zip)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The firmware package %1 could not be unpacked.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update in progress...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating %1...</source>
        <extracomment>%1 is the device&apos;s type: TXU or RXU.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package: %1 WLAN: %2 -&gt; %3 DSP: %4.%5 -&gt; %6</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The link to the device on the serial port %1 was lost.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection to the device lost: nothing was sent. Close this window; the device is linked again when it is plugged in.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version Mismatch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Skipping firmware update for this portable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package does not fit this device: %1. Nothing was sent; pick another package.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device did not report a type that the package has a DSP image for.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Nothing was sent; start again or pick another package.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package &quot;%1&quot;: WLAN %2, DSP %3 for TXU and %4 for RXU.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pick another package.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update completed successfully</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update completed successfully.&lt;br&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>It is now safe to disconnect your device. Application will now close.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: the update is not complete.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: nothing was sent.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FirmwareImage</name>
    <message>
        <source>%1 is not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The image %1 holds %2 bytes; at most %3 bytes can be sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 changed or could not be read (%2 of %3 bytes read).</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FirmwarePackage</name>
    <message>
        <source>The package %1 has no %2.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in the package %2 is saved as UTF-16; it must be plain text (ASCII or UTF-8).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in the package %2 is empty.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 in the package %2 has %3 of its four lines (the package&apos;s name, its WLAN version and the DSP versions for TXU and for RXU).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package %1 cannot be used: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>FleetReport</name>
    <message>
        <source>running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fits</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>updated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>interrupted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>starting</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>checking</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>finishing</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no answer for %1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>do not disconnect</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 running</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 fit</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 updated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 refused</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 interrupted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 %2% (%3 of %4 bytes%5)</source>
        <extracomment>&quot;WLAN 10% (12000 of 120000 bytes, 41.8 kB/s)&quot;: the image, the part of it done, and in %5 the rate and the time, each after a comma (or nothing).</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 refused, %2 failed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, %1 interrupted</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>%n devices: %1</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more: %1</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FleetUpdate</name>
    <message>
        <source>The port is in use by another program: nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The port is in use by %1: nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HeronTemp</name>
    <message>
        <source>Heron Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Module temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Get</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LinePrinter</name>
    <message>
        <source>Updating WLAN Firmware...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating DSP Firmware...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device port: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device: %1, WLAN %2, DSP %3.%4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>type unknown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Package &quot;%1&quot;: WLAN %2, DSP %3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device is finishing the update. Do not disconnect it.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package fits the device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware update completed successfully.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PackageArchive</name>
    <message>
        <source>%1 is not a regular file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is damaged (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is encrypted in the package; it cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is compressed in a way that cannot be read (method %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds %2 bytes; a manifest holds at most %3 bytes.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is damaged (it takes %2 bytes in the package for at most %3).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read from the package (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>its checksum does not match</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it holds more than the %1 bytes it claims</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>it holds %1 of the %2 bytes it claims</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a zip archive.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds %2 entries; a firmware package holds a few.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 cannot be read as a zip archive (%2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is damaged: its directory cannot be read.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is damaged: an entry has no name.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package holds two entries named &quot;%1&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package holds two entries named &quot;%1&quot; and &quot;%2&quot;, which differ only in case.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package names %1 &quot;%2&quot;: its files must be at its top level, without folders or &quot;..&quot; in their names.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageInput</name>
    <message>
        <source>%1 (nothing was sent).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The package %1 cannot be used: %2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PackageListing</name>
    <message>
        <source>%1: %2 bytes, SHA-256 %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortAccess</name>
    <message>
        <source>To use the port without root, plug the device in again or log in again (the udev rule 70-tavero-companion.rules that the package installs gives the user at the seat access), or join the dialout group with &quot;sudo adduser $USER dialout&quot; and log out and in again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The port is in use by %1.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PortFinder</name>
    <message>
        <source>process %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 (process %2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reports no manufacturer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>reports the manufacturer &quot;%1&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, not &quot;%2&quot;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in use by another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>in use by %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Port named on the command line: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, no permission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: device bridge, no permission</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: device bridge</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: passed over, %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No serial ports were found.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial ports seen:</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SignalHistory</name>
    <message>
        <source>Signal History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signal Strength</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Span:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Span</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>How much time the plots show</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>10 min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1 h</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Pause</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as CSV… saves every device&apos;s history in one file, with a port column</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as CSV…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PNG…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Plots</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sniffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time shown</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Moves the plots back in time; at the right end they follow the newest data</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>link lost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>port lost</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no readings</source>
        <extracomment>%1 is a plotted series: &quot;From TXU&quot;, &quot;RSSI A&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: min %2 · mean %3 · max %4</source>
        <extracomment>The minimum, mean and maximum of a series over the stretch shown.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signal levels over time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Beacons and audio packets over time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RSSI over time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 on %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Beacons A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Beacons B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RSSI A</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RSSI B</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No device.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device: %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving as CSV… %1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as CSV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>CSV files (*.csv)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The oldest records no longer fitted in memory: the file holds the newest records, from %1 on, after the state of the link then.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save as PNG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PNG images (*.png)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Could not save the plot to %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 · %2 · %3: %4</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the signal history</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>Recording since %1: %n records, %2 of %3.</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Memory full: the oldest %n records were dropped; the recording now starts at %1. </source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Sniffer</name>
    <message>
        <source>Sniffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sniffer reports</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start (Rep Mode)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stop</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save…</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Save Sniffer Lines</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Text files (*.txt)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Saving… %1 %</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The oldest lines no longer fitted in memory: the file holds the newest lines, from %1 on.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the sniffer lines</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StatusDisplay</name>
    <message>
        <source>No device found</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating Device Information...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repeater Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status: no link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status: linked</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status: link state %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repeater Mode: on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repeater Mode: off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+48V: on</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>+48V: off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Muted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Not muted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: no device</source>
        <extracomment>%1 is a lamp&apos;s caption: &quot;Link Status&quot;, &quot;Repeater Mode&quot; or &quot;+48V&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>good</source>
        <extracomment>The band of a signal level, beside a level in dBm and on the plots.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>fair</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>weak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>no reading</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status: good signal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status: fair signal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status: weak signal</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 dBm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1, %2</source>
        <extracomment>A signal level and its band: &quot;−55 dBm, fair&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Input mode: %1</source>
        <extracomment>%1 is the input mode (&quot;MIC Mode&quot;), or &quot;none&quot;.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Hi-Z Mode</source>
        <extracomment>Hi-Z, MIC and LINE are the device&apos;s names of its inputs.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>MIC Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>LINE Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master</source>
        <extracomment>The device&apos;s role.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TXU Client (Slot %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXU Client (Master Slot)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RXU Client (Slot %1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Repeater</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Unknown Device</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Beacons:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Audio:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RSSI:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>WLAN %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DSP %1.%2</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TVC</name>
    <message>
        <source>Repeater Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial Port:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial port</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refresh</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Master Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RF Channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>RF channel</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain/Mute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain up</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Gain down</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mute</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Transmission Quality</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Link Status</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signal Strength</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From TXU:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From TXU</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From Repeater:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>From Repeater</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Options</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>About</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Heron Temperature</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Mode</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sniffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware Update</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Signal History</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All Devices</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Register</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Please wait for the device to startup and then press OK.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>For TXU in Master Mode, wait till the LINK LED turns green.</source>
        <extracomment>LINK is the name of the device&apos;s button and LED.</extracomment>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>More information on various device startup modes can be found in the user guide.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Service Mode Enable</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Enter Service Code</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Almost...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Forgot the &apos;x&apos;?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Welcome</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The link to the device on the serial port %1 was closed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Critical Error</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>TransferProgress</name>
    <message>
        <source>%1 kB/s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 s left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 min %2 s left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>about %1 h %2 min left</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 min %2 s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 h %2 min</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateEngine</name>
    <message>
        <source>the device&apos;s WLAN is newer than the package&apos;s and outside 1600 to 1699</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device&apos;s WLAN is outside 1600 to 1699</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device&apos;s WLAN is newer than the package&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the package&apos;s DSP version is not major.minor</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the DSP major versions differ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>a device DSP of minor version 0 is never updated</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the device&apos;s DSP is newer than the package&apos;s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>the package is not one for this device</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>UpdateRun</name>
    <message>
        <source>The package does not fit the device (device WLAN %1, DSP %2.%3; package WLAN %4, DSP %5): %6; nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Connection to the device lost (%1)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the check is not complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: the update is not complete.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot use the serial port %1 (%2)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Interrupted</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device did not report a type that the package has a DSP image for</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The device&apos;s answer to chunk %1 of %2 of the %3 image came damaged</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update can be started again.</source>
        <translation type="unfinished"></translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds</source>
        <translation type="unfinished">
            <numerusform></numerusform>
            <numerusform></numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UpdateTool</name>
    <message>
        <source>Interrupted while the package was read: nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No device found (no free serial port reports the manufacturer &quot;%1&quot;)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>; %1 is in use by %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>another program</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1: nothing was sent.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shows the status of a Tavero wireless audio device, controls it and updates its firmware.
Without --port it looks for the device on the serial ports whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;.</source>
        <translation type="unfinished"></translation>
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
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show this help.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show the program&apos;s name and version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the serial port NAME (such as ttyUSB0 or /dev/pts/3) instead of the first free port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;. Give it several times to update several devices at once.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update every device at once: every free port whose USB bridge reports the manufacturer &quot;Silicon Lab&quot;.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Print each image&apos;s size and SHA-256, ask and check the versions only; send no image.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Send the single image FILE without any check (service use).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The unit of the --raw image: wlan or dsp (default: wlan for *.bin, dsp otherwise).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Give up when the device stays silent this long (default 30).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The firmware package.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--all and --port exclude each other.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The port %1 is named twice.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The timeout must be a whole number of seconds from 1 to 86400.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--raw sends one image: it takes no package and no --check.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--unit is wlan or dsp.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--unit goes with --raw.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name one firmware package (see --help).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use the serial port NAME (a port name such as ttyUSB0, or a device path such as /dev/pts/3) instead of searching for the device. Repeated, each port is listed in All Devices, and the window takes the first that is there.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
