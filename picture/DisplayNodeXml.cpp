#include "picture/DisplayNode.h"
#include "picture/View.h"
#include "picture/WinImage.h"
#include "xml/Elements.h"

#include <cmath>

namespace lumavine {

namespace {

bool is(std::u16string_view key, std::u16string_view name)
{
    return String(key).equalsIgnoreCase(name);
}

int readCoordinate(const String& text)
{
    int value = 0;
    text.readInt(value);
    return std::clamp(value, -DisplayNode::coordinateLimit, DisplayNode::coordinateLimit);
}

}

bool DisplayNode::setProperty(std::u16string_view key, const String& value)
{
    if (is(key, u"layer")) {
        int layer;
        if (value.readInt(layer))
            m_layer = layer;
        return true;
    }
    if (is(key, u"orientation")) {
        m_orientation = value.equalsIgnoreCase(u"vertical") ? m_orientation | Vertical : m_orientation & ~Vertical;
        return true;
    }
    if (is(key, u"line")) {
        m_lineStyle.apply(value);
        return true;
    }
    if (is(key, u"line-width"))
        return m_lineStyle.setProperty(key, value);
    if (is(key, u"line-color") || is(key, u"line-type") || is(key, u"line-style")) {
        m_lineStyle.setProperty(key, value);
        return true;
    }
    if (is(key, u"line-join")) {
        m_lineStyle.setProperty(u"join", value);
        return true;
    }
    if (is(key, u"image")) {
        if (!m_image)
            m_image = createImage();
        m_image->setImageString(value);
        updateImageSize();
        return false;
    }
    if (m_kind == ShapeKind::Image) {
        if (is(key, u"image-source")) {
            if (!m_image)
                m_image = createImage();
            m_image->setSource(value);
            updateHandles();
            return true;
        }
        if (is(key, u"image-aspect")) {
            if (!m_image)
                m_image = createImage();
            m_image->setKeepAspect(value.equalsIgnoreCase(u"true"));
            return true;
        }
        if (is(key, u"image-transparency")) {
            // Honoured: the colour is keyed out when the image is drawn, and
            // written back with the shape.
            Color color;
            if (!Color::fromText(value, color))
                return false;
            if (!m_image)
                m_image = createImage();
            m_image->setTransparentColor(color.argb);
            return true;
        }
        if (is(key, u"image-opacity")) {
            // The stored figure is the opacity fraction cut to an integer, so
            // nothing between clear and opaque survives a save: keep images
            // opaque rather than lose the setting on the next load.
            int ignored;
            if (!value.readInt(ignored))
                return false;
            if (m_image)
                m_image->setOpacity(1.0);
            return true;
        }
    }
    bool sizable = m_kind == ShapeKind::Rectangle || (m_kind == ShapeKind::Image && m_image);
    if (sizable && (is(key, u"width") || is(key, u"height"))) {
        int size;
        // Negative sizes would turn the box inside out.
        if (value.readInt(size) && size >= 0 && size <= coordinateLimit) {
            QRect bounds = getBounds();
            if (is(key, u"width"))
                bounds.setWidth(size);
            else
                bounds.setHeight(size);
            setBounds(bounds);
        }
        return false;
    }
    return DisplayElement::setProperty(key, value);
}

void DisplayNode::writeXml(Element* parent)
{
    DisplayElement::writeXml(parent);
    addElement(parent, u"ntype", String(kindName(m_kind)));
    addElement(parent, u"npoints", pointCount());
    for (QPoint point : m_points) {
        Element* element = addElement(parent, u"point");
        element->setAttribute(u"x", String::number(point.x()));
        element->setAttribute(u"y", String::number(point.y()));
    }
    if (m_layer != 0)
        addElement(parent, u"layer", m_layer);
    if (m_kind == ShapeKind::Line)
        addElement(parent, u"line", m_lineStyle.lineText());
    if (m_kind == ShapeKind::Image && m_image) {
        addElement(parent, u"source", m_image->source());
        int opacity = int(m_image->opacity());
        if (opacity != -1)
            addElement(parent, u"image-opacity", opacity);
        if (m_image->keepAspect())
            addElement(parent, u"image-aspect", String(u"true"));
        if (m_image->transparentColor())
            addElement(parent, u"image-transparency", Color(*m_image->transparentColor()).toText());
    }
    if (isVertical())
        addElement(parent, u"orientation", String(u"vertical"));
    addElement(parent, u"border", m_border.borderText());
    if (!m_name.empty())
        setChildText(parent, u"name", m_name);
    if (!m_text.empty())
        setChildText(parent, u"text", m_text);
}

bool DisplayNode::readPoints(const Element* element)
{
    const String& countText = getChildText(element, u"npoints");
    int count = 0;
    if (!countText.empty() && !countText.readInt(count))
        return false;
    if (count == 0)
        return true;
    if (count < 0 || count > maximumPointCount)
        return false;
    setPointCount(count);
    // Points missing from the element stay at the origin.
    std::fill(m_points.begin(), m_points.end(), QPoint(0, 0));
    size_t read = 0;
    for (Node* child : element->childNodes()) {
        if (read == m_points.size())
            break;
        if (!child->isElement() || !child->nodeName().equals(u"point"))
            continue;
        const Element* point = child->asElement();
        m_points[read++] = QPoint(readCoordinate(point->getAttribute(u"x")), readCoordinate(point->getAttribute(u"y")));
    }
    return true;
}

bool DisplayNode::readXml(const Element* element)
{
    ShapeKind kind;
    if (!element || !kindFromName(getChildText(element, u"ntype"), kind))
        return false;
    setKind(kind);
    if (!readPoints(element))
        return false;
    if (m_kind == ShapeKind::Image) {
        m_image = createImage();
        m_image->setKeepAspect(getChildText(element, u"image-aspect").equalsIgnoreCase(u"true"));
        const String& source = getChildText(element, u"source");
        if (!source.empty())
            m_image->load(source);
        QRect bounds = getBounds();
        m_image->setDisplaySize(std::max(bounds.width(), 0), std::max(bounds.height(), 0));
        updateImageSize();
        m_boxWidth = bounds.width();
        m_boxHeight = bounds.height();
        DisplayNode::moveTo(bounds.x(), bounds.y());
    }
    readProperties(element);
    updateHandles();
    return true;
}

bool DisplayNode::load(const Element* element)
{
    return readXml(element);
}

void DisplayNode::copyFrom(const DisplayElement& other)
{
    DisplayElement::copyFrom(other);
    const DisplayNode* node = dynamic_cast<const DisplayNode*>(&other);
    if (!node)
        return;
    m_kind = node->m_kind;
    m_points = node->m_points;
    if (m_kind == ShapeKind::Ellipse || m_kind == ShapeKind::Rectangle || m_kind == ShapeKind::RoundRectangle)
        m_points.resize(4, QPoint(-1, -1));
    view().raiseLargestPointCount(pointCount());
    m_layer = node->m_layer;
    if (m_kind == ShapeKind::Line)
        m_lineStyle = node->m_lineStyle;
    m_boxWidth = node->m_boxWidth;
    m_boxHeight = node->m_boxHeight;
    m_orientation = node->m_orientation;
    updateHandles();
}

}
