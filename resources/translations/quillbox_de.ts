<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de_DE">
<context>
    <name>BFExtensions</name>
    <message>
        <source>%ld day remaining</source>
        <translation>noch %ld Tag</translation>
    </message>
    <message>
        <source>%ld days remaining</source>
        <translation>noch %ld Tage</translation>
    </message>
    <message>
        <source>%ld hour remaining</source>
        <translation>noch %ld Stunde</translation>
    </message>
    <message>
        <source>%ld hours remaining</source>
        <translation>noch %ld Stunden</translation>
    </message>
    <message>
        <source>%ld minute remaining</source>
        <translation>noch %ld Minute</translation>
    </message>
    <message>
        <source>%ld minutes remaining</source>
        <translation>noch %ld Minuten</translation>
    </message>
    <message>
        <source>%ld second remaining</source>
        <translation>noch %ld Sekunde</translation>
    </message>
    <message>
        <source>%ld seconds remaining</source>
        <translation>noch %ld Sekunden</translation>
    </message>
</context>
</TS>
