#include "gui/PathDrawing.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <vector>

namespace dovetrel {

namespace {

const QString kPathColour = QStringLiteral("#d9480f");
const QString kCurrentFill = QStringLiteral("#ffd8a8");

/// How the elements inside a link are drawn.
enum class LinkLook { AsDrawn, Taken, Current };

/// The value of the attribute \p strName, \p strValue as drawn, of a text (\p bText) or a shape
/// whose line is \p strStroke, drawn as \p look.
QString Restyled(const QString& strName, const QString& strValue, const QString& strStroke,
                 bool bText, LinkLook look) {
  const bool bFill = strName == QLatin1String("fill");
  const bool bLine = strName == QLatin1String("stroke") && strValue != QLatin1String("transparent");
  if (bLine || (bFill && (bText || strValue == strStroke)))
    return kPathColour;
  if (bFill && look == LinkLook::Current && strValue != QLatin1String("none"))
    return kCurrentFill;
  return strValue;
}

/// The attributes of an element drawn as \p look: lines and texts in the path's colour, the
/// current box filled; an arrowhead (filled in its line's colour) follows its line.
QXmlStreamAttributes Restyled(const QXmlStreamReader& reader, LinkLook look) {
  const QXmlStreamAttributes attributes = reader.attributes();
  const QString strStroke = attributes.value(QLatin1String("stroke")).toString();
  const bool bText = reader.qualifiedName() == QLatin1String("text");
  QXmlStreamAttributes restyled;
  for (const QXmlStreamAttribute& attribute : attributes) {
    const QString strName = attribute.qualifiedName().toString();
    if (strName != QLatin1String("stroke-width"))
      restyled.append(strName,
                      Restyled(strName, attribute.value().toString(), strStroke, bText, look));
  }
  if (bText)
    restyled.append(QStringLiteral("font-weight"), QStringLiteral("bold"));
  else
    restyled.append(QStringLiteral("stroke-width"), QStringLiteral("2.5"));
  return restyled;
}

} // namespace

QByteArray DrawCallPath(const QByteArray& svg, const QSet<QString>& taken,
                        const QString& strCurrent) {
  QByteArray drawn;
  QXmlStreamReader reader(svg);
  reader.setNamespaceProcessing(false); // names and prefixes are copied as they stand
  QXmlStreamWriter writer(&drawn);
  std::vector<LinkLook> links; // one per open element: the look inside it
  while (!reader.atEnd()) {
    switch (reader.readNext()) {
    case QXmlStreamReader::StartDocument:
      writer.writeStartDocument();
      break;
    case QXmlStreamReader::StartElement: {
      LinkLook look = links.empty() ? LinkLook::AsDrawn : links.back();
      if (reader.qualifiedName() == QLatin1String("a")) {
        const QString strTitle = reader.attributes().value(QLatin1String("xlink:title")).toString();
        look = strTitle == strCurrent     ? LinkLook::Current
               : taken.contains(strTitle) ? LinkLook::Taken
                                          : LinkLook::AsDrawn;
      }
      links.push_back(look);
      writer.writeStartElement(reader.qualifiedName().toString());
      const bool bShape = reader.qualifiedName() != QLatin1String("a") &&
                          reader.qualifiedName() != QLatin1String("g");
      writer.writeAttributes(look != LinkLook::AsDrawn && bShape ? Restyled(reader, look)
                                                                 : reader.attributes());
      break;
    }
    case QXmlStreamReader::EndElement:
      links.pop_back();
      writer.writeEndElement();
      break;
    case QXmlStreamReader::Characters:
      writer.writeCharacters(reader.text().toString());
      break;
    default: // the document type and comments say nothing to the renderer
      break;
    }
  }
  writer.writeEndDocument();
  return drawn;
}

} // namespace dovetrel
