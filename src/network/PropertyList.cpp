#include "PropertyList.h"

#include <QVariantList>

#include <plist/plist.h>

#include <cstring>
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
        uint64_t length = 0;
        const char* text = plist_get_string_ptr(node, &length);
        if (!text || length > uint64_t(std::numeric_limits<int32_t>::max()))
            return {};
        return QString::fromUtf8(text, qsizetype(length));
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
    // libplist aborts the program when it reads a key or string holding U+0000, which XML
    // cannot hold and a binary list can. Such an answer is not a property list: an XML one is
    // refused before parsing, a binary one once written out as XML shows the character.
    const bool binary = plist_is_binary(data.constData(), size);
    if (!binary && data.contains('\0'))
        return std::nullopt;
    // libplist reports no error code; a missing root is the failure.
    if (binary)
        plist_from_bin(data.constData(), size, &root);
    else
        plist_from_xml(data.constData(), size, &root);
    const Plist owner(root);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return std::nullopt;
    if (binary) {
        char* xml = nullptr;
        uint32_t length = 0;
        plist_to_xml(root, &xml, &length);
        const bool holdsNul = !xml || std::memchr(xml, 0, length) != nullptr;
        plist_to_xml_free(xml);
        if (holdsNul)
            return std::nullopt;
    }
    return dictionaryToMap(root, 0);
}
