#include "server/Structure.h"

#include "server/Documents.h"
#include "server/XmlDoc.h"

namespace dravik::server {

bool isGridDescriptor(const std::string &desc)
{
    return desc == "gFrev" || desc == "gAct";
}

namespace {

struct Entry
{
    std::string descInfo, idNum, txtInfo, vInfo, tag, defval;
    std::string width, left, top, height, length;
    std::string tInfo, tControl, color, notNull, enabled, fieldInfo;
};

void write(XmlDoc &doc, const Entry &e)
{
    // Every element of every entry, empty ones as an empty pair.
    doc.open("axStruct");
    doc.value("descInfo", e.descInfo);
    doc.value("idNum", e.idNum);
    doc.value("txtInfo", e.txtInfo);
    doc.value("vInfo", e.vInfo);
    doc.value("tag", e.tag);
    doc.value("defval", e.defval);
    doc.value("width", e.width);
    doc.value("left", e.left);
    doc.value("top", e.top);
    doc.value("height", e.height);
    doc.value("length", e.length);
    doc.value("tInfo", e.tInfo);
    doc.value("tControl", e.tControl);
    doc.value("color", e.color);
    doc.value("notNull", e.notNull);
    doc.value("enabled", e.enabled);
    doc.value("fieldInfo", e.fieldInfo);
    doc.close("axStruct");
}

} // namespace

std::string buildStructure(const std::vector<TabRow> &tabs, const std::vector<LayoutRow> &layout)
{
    XmlDoc doc("Answer");
    doc.open("axStructS");
    doc.raw("\r\n");
    for (const TabRow &t : tabs) {
        Entry e;
        e.descInfo = t.kind;
        e.idNum = t.idNum;
        e.txtInfo = t.txtInfo;
        e.vInfo = t.vInfo;
        e.tag = t.tag;
        e.defval = t.defval;
        write(doc, e);
    }
    for (const LayoutRow &r : layout) {
        if (r.desc.empty())
            continue;
        Entry e;
        e.descInfo = r.desc;
        e.idNum = r.idNum;
        e.txtInfo = r.txtInfo;
        e.vInfo = r.vInfo;
        e.tag = r.tag;
        e.defval = r.defval;
        // The client turns twips back into pixels: round(x / 15), and top - 35.
        const int scale = isGridDescriptor(r.desc) ? 1 : 15;
        const int topOffset = isGridDescriptor(r.desc) ? 0 : 35;
        e.width = std::to_string(r.width * scale);
        e.left = std::to_string(r.left * scale);
        e.top = std::to_string((r.top + topOffset) * scale);
        e.height = std::to_string(r.height * scale);
        e.length = r.length;
        e.tInfo = r.tInfo;
        e.tControl = r.tControl;
        e.color = r.color;
        e.notNull = r.notNull;
        e.enabled = r.enabled;
        e.fieldInfo = r.fieldInfo;
        write(doc, e);
    }
    doc.close("axStructS");
    return doc.finish();
}

const std::string &structureDocument()
{
    static const std::string doc = buildStructure(formTabs(), formLayout());
    return doc;
}

} // namespace dravik::server
