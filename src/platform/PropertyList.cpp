#include "PropertyList.h"

#include <QVariantList>

#include <plist/plist.h>

#include <limits>
#include <memory>

namespace {
struct PlistFree
{
    void operator()(plist_t node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

QVariant toVariant(plist_t node, int depth);

QVariantMap dictionaryToMap(plist_t dictionary, int depth)
{
    QVariantMap map;
    plist_dict_iter it = nullptr;
    plist_dict_new_iter(dictionary, &it);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dictionary, it, &key, &value);
        if (!key)
            break;
        const QVariant converted = toVariant(value, depth + 1);
        if (converted.isValid())
            map.insert(QString::fromUtf8(key), converted);
        free(key); // NOLINT: allocated by libplist
    }
    free(it); // NOLINT: allocated by libplist
    return map;
}

QVariant toVariant(plist_t node, int depth)
{
    if (!node || depth > 32)
        return {};
    switch (plist_get_node_type(node)) {
    case PLIST_STRING: {
        char* text = nullptr;
        plist_get_string_val(node, &text);
        const QString value = QString::fromUtf8(text);
        free(text); // NOLINT: allocated by libplist
        return value;
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        return QVariant::fromValue(qint64(value));
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_DICT:
        return dictionaryToMap(node, depth);
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t size = plist_array_get_size(node);
        for (uint32_t i = 0; i < size; ++i) {
            const QVariant item = toVariant(plist_array_get_item(node, i), depth + 1);
            if (item.isValid())
                list.append(item);
        }
        return list;
    }
    default:
        return {};
    }
}
} // namespace

std::optional<QVariantMap> propertyListDictionary(const QByteArray& data)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    plist_t root = nullptr;
    const auto size = static_cast<uint32_t>(data.size());
    // libplist reports no error code; a missing root is the failure.
    if (plist_is_binary(data.constData(), size))
        plist_from_bin(data.constData(), size, &root);
    else
        plist_from_xml(data.constData(), size, &root);
    const Plist owner(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return std::nullopt;
    return dictionaryToMap(root, 0);
}

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
