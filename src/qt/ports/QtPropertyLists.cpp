#include "qt/ports/QtPropertyLists.h"

#include <QByteArray>
#include <QXmlStreamReader>

namespace pagelet {

namespace {

bool isScalar(QStringView name)
{
    return name == u"string" || name == u"date" || name == u"integer" || name == u"real";
}

// The value element the reader stands on; nested dictionaries and data are passed over.
PropertyValue valueAt(QXmlStreamReader& r)
{
    PropertyValue value;
    const QStringView name = r.name();
    if (isScalar(name)) {
        value.text = r.readElementText().toStdU16String();
    } else if (name == u"true" || name == u"false") {
        value.text = name.toString().toStdU16String();
        r.skipCurrentElement();
    } else if (name == u"array") {
        while (r.readNextStartElement()) {
            if (isScalar(r.name()))
                value.items.push_back(r.readElementText().toStdU16String());
            else
                r.skipCurrentElement();
        }
    } else {
        r.skipCurrentElement();
    }
    return value;
}

} // namespace

PropertyListRead QtPropertyLists::read(std::string_view xml) const
{
    PropertyListRead result;
    QXmlStreamReader r(QByteArray::fromRawData(xml.data(), static_cast<qsizetype>(xml.size())));
    if (!r.readNextStartElement() || r.name() != u"plist" || !r.readNextStartElement() || r.name() != u"dict") {
        if (!r.hasError())
            r.raiseError(QStringLiteral("no property list with a dictionary"));
    } else {
        while (r.readNextStartElement()) {
            if (r.name() != u"key") {
                r.raiseError(QStringLiteral("a value without its key"));
                break;
            }
            const std::string key = r.readElementText().toStdString();
            if (!r.readNextStartElement()) {
                r.raiseError(QStringLiteral("a key without its value"));
                break;
            }
            result.values[key] = valueAt(r);
        }
        // The rest must be well formed too: a cut file ends before </plist>.
        while (!r.hasError() && !r.atEnd())
            r.readNext();
    }
    if (r.hasError()) {
        result.values.clear();
        result.error = "damaged property list (line " + std::to_string(r.lineNumber()) + ": "
                       + r.errorString().toStdString() + ")";
    }
    return result;
}

} // namespace pagelet
