<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Salvage</name>
    <message numerus="yes">
        <source>%n more</source>
        <translation>
            <numerusform>%n more</numerusform>
            <numerusform>%n more</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n rows of “%1” lost: %2</source>
        <translation>
            <numerusform>%n row of “%1” lost: %2</numerusform>
            <numerusform>%n rows of “%1” lost: %2</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>“%1”: %n rows lost</source>
        <translation>
            <numerusform>“%1”: %n row lost</numerusform>
            <numerusform>“%1”: %n rows lost</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n more rows are not listed here.</source>
        <translation>
            <numerusform>%n more row is not listed here.</numerusform>
            <numerusform>%n more rows are not listed here.</numerusform>
        </translation>
    </message>
</context>
</TS>
