#include "XmlPropertyList.h"

QByteArray xmlPropertyList(const QMap<QString, QString>& dictionary)
{
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    for (auto it = dictionary.begin(); it != dictionary.end(); ++it)
        xml += "\t<key>" + it.key().toHtmlEscaped().toUtf8() + "</key>\n\t<string>" +
               it.value().toHtmlEscaped().toUtf8() + "</string>\n";
    xml += "</dict>\n</plist>\n";
    return xml;
}
