<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en">
<context>
    <name>HistorySearch</name>
    <message numerus="yes">
        <source>Showing %1 of %n messages.</source>
        <translation>
            <numerusform>Showing %1 of %n message.</numerusform>
            <numerusform>Showing %1 of %n messages.</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message numerus="yes">
        <source>&amp;Outbox (%n waiting)</source>
        <translation>
            <numerusform>&amp;Outbox (%n waiting)</numerusform>
            <numerusform>&amp;Outbox (%n waiting)</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>MsgHistoryDataSource</name>
    <message numerus="yes">
        <source>Listing last refreshed at %1. Contains %n messages.</source>
        <translation>
            <numerusform>Listing last refreshed at %1. Contains %n message.</numerusform>
            <numerusform>Listing last refreshed at %1. Contains %n messages.</numerusform>
        </translation>
    </message>
</context>
</TS>
