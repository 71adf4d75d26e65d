#include "engine/StructEntry.h"

#include "gateway/TXml.h"

std::vector<StructEntry> readStructEntries(const TXml &structDoc)
{
    std::vector<StructEntry> entries;
    TXml x = structDoc;
    XmlOpen(x, u"axStructS");
    while (XmlNext(x, u"axStruct")) {
        StructEntry e;
        const std::pair<const char16_t *, QString *> fields[] = {
                {u"descInfo", &e.descInfo},
                {u"idNum", &e.idNum},
                {u"txtInfo", &e.txtInfo},
                {u"vInfo", &e.vInfo},
                {u"tag", &e.tag},
                {u"defval", &e.defval},
                {u"width", &e.width},
                {u"left", &e.left},
                {u"top", &e.top},
                {u"height", &e.height},
                {u"length", &e.length},
                {u"tInfo", &e.tInfo},
                {u"tControl", &e.tControl},
                {u"color", &e.color},
                {u"notNull", &e.notNull},
                {u"enabled", &e.enabled},
                {u"fieldInfo", &e.fieldInfo},
        };
        for (const auto &[name, out] : fields)
            XmlGet(x, name, *out);
        entries.push_back(std::move(e));
    }
    return entries;
}
