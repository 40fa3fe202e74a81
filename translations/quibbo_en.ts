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
    <name>MessageCount</name>
    <message numerus="yes">
        <source>%n recipients</source>
        <translation>
            <numerusform>%n recipient</numerusform>
            <numerusform>%n recipients</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n parts</source>
        <translation>
            <numerusform>%n part</numerusform>
            <numerusform>%n parts</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n messages</source>
        <translation>
            <numerusform>%n message</numerusform>
            <numerusform>%n messages</numerusform>
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
<context>
    <name>SendSMSPushed</name>
    <message numerus="yes">
        <source>Send this message to %n recipients?</source>
        <translation>
            <numerusform>Send this message to %n recipient?</numerusform>
            <numerusform>Send this message to %n recipients?</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>SendToSeveral</name>
    <message numerus="yes">
        <source>%n failed.</source>
        <translation>
            <numerusform>%n failed.</numerusform>
            <numerusform>%n failed.</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n not sent for lack of credit.</source>
        <translation>
            <numerusform>%n not sent for lack of credit.</numerusform>
            <numerusform>%n not sent for lack of credit.</numerusform>
        </translation>
    </message>
</context>
</TS>
