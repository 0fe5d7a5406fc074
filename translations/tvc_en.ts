<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="en">
<context>
    <name>AllDevices</name>
    <message numerus="yes">
        <source>%n linked</source>
        <translation>
            <numerusform>%n linked</numerusform>
            <numerusform>%n linked</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n in use by other programs</source>
        <translation>
            <numerusform>%n in use by another program</numerusform>
            <numerusform>%n in use by other programs</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not connected</source>
        <translation>
            <numerusform>%n not connected</numerusform>
            <numerusform>%n not connected</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FWUpdate</name>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation>
            <numerusform>The device has not answered for %n second; the update is not complete. Waiting for the device...</numerusform>
            <numerusform>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: the update is not complete.</source>
        <translation>
            <numerusform>The device has not answered for %n second: the update is not complete.</numerusform>
            <numerusform>The device has not answered for %n seconds: the update is not complete.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation>
            <numerusform>The device has not answered for %n second; nothing was sent yet. Waiting for the device...</numerusform>
            <numerusform>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds: nothing was sent.</source>
        <translation>
            <numerusform>The device has not answered for %n second: nothing was sent.</numerusform>
            <numerusform>The device has not answered for %n seconds: nothing was sent.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FirmwareImage</name>
    <message numerus="yes">
        <source>%1 changed or could not be read (%2 of %n bytes read).</source>
        <translation>
            <numerusform>%1 changed or could not be read (%2 of %n byte read).</numerusform>
            <numerusform>%1 changed or could not be read (%2 of %n bytes read).</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>FleetReport</name>
    <message numerus="yes">
        <source>%n running</source>
        <translation>
            <numerusform>%n running</numerusform>
            <numerusform>%n running</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n fit</source>
        <translation>
            <numerusform>%n fits</numerusform>
            <numerusform>%n fit</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n updated</source>
        <translation>
            <numerusform>%n updated</numerusform>
            <numerusform>%n updated</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n refused</source>
        <translation>
            <numerusform>%n refused</numerusform>
            <numerusform>%n refused</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n failed</source>
        <translation>
            <numerusform>%n failed</numerusform>
            <numerusform>%n failed</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n interrupted</source>
        <translation>
            <numerusform>%n interrupted</numerusform>
            <numerusform>%n interrupted</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%1 %2 (%3 of %n bytes%4)</source>
        <extracomment>&quot;WLAN 10% (12000 of 120000 bytes, 41.8 kB/s)&quot;: the image, the part of it done (&quot;10%&quot;), the bytes acknowledged of the image&apos;s %n, and in %4 the rate and the time, each after a comma (or nothing).</extracomment>
        <translation>
            <numerusform>%1 %2 (%3 of %n byte%4)</numerusform>
            <numerusform>%1 %2 (%3 of %n bytes%4)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n devices: %1</source>
        <translation>
            <numerusform>%n device: %1</numerusform>
            <numerusform>%n devices: %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>... and %n more: %1</source>
        <translation>
            <numerusform>... and %n more: %1</numerusform>
            <numerusform>... and %n more: %1</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>LinePrinter</name>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</source>
        <translation>
            <numerusform>The device has not answered for %n second; the update is not complete. Waiting for the device...</numerusform>
            <numerusform>The device has not answered for %n seconds; the update is not complete. Waiting for the device...</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</source>
        <translation>
            <numerusform>The device has not answered for %n second; nothing was sent yet. Waiting for the device...</numerusform>
            <numerusform>The device has not answered for %n seconds; nothing was sent yet. Waiting for the device...</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>PackageArchive</name>
    <message numerus="yes">
        <source>it holds more than the %n bytes it claims</source>
        <translation>
            <numerusform>it holds more than the %n byte it claims</numerusform>
            <numerusform>it holds more than the %n bytes it claims</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>it holds %1 of the %n bytes it claims</source>
        <translation>
            <numerusform>it holds %1 of the %n byte it claims</numerusform>
            <numerusform>it holds %1 of the %n bytes it claims</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShowLog</name>
    <message numerus="yes">
        <source>The %n oldest entries went, to keep the log within its size.</source>
        <translation>
            <numerusform>The oldest entry went, to keep the log within its size.</numerusform>
            <numerusform>The %n oldest entries went, to keep the log within its size.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShowLogWindow</name>
    <message numerus="yes">
        <source>%n entries since the program started.</source>
        <extracomment>The show log&apos;s size: &quot;12 entries since the program started.&quot;</extracomment>
        <translation>
            <numerusform>%n entry since the program started.</numerusform>
            <numerusform>%n entries since the program started.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>ShowMonitor</name>
    <message numerus="yes">
        <source>%n more</source>
        <extracomment>Past alarms of a device besides the one shown.</extracomment>
        <translation>
            <numerusform>%n more</numerusform>
            <numerusform>%n more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n alarms</source>
        <extracomment>Alarms that wait to be acknowledged, in a window&apos;s title and the main window.</extracomment>
        <translation>
            <numerusform>%n alarm</numerusform>
            <numerusform>%n alarms</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SignalHistory</name>
    <message numerus="yes">
        <source>Recording since %1: %n records, %2 of %3.</source>
        <translation>
            <numerusform>Recording since %1: %n record, %2 of %3.</numerusform>
            <numerusform>Recording since %1: %n records, %2 of %3.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>Memory full: the oldest %n records were dropped; the recording now starts at %1. </source>
        <translation>
            <numerusform>Memory full: the oldest record was dropped; the recording now starts at %1. </numerusform>
            <numerusform>Memory full: the oldest %n records were dropped; the recording now starts at %1. </numerusform>
        </translation>
    </message>
</context>
<context>
    <name>UpdateRun</name>
    <message numerus="yes">
        <source>The device has not answered for %n seconds</source>
        <translation>
            <numerusform>The device has not answered for %n second</numerusform>
            <numerusform>The device has not answered for %n seconds</numerusform>
        </translation>
    </message>
</context>
</TS>
