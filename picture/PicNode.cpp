#include "picture/PicNode.h"

#include "picture/PictureOwner.h"
#include "picture/WinImage.h"
#include "xml/Elements.h"

namespace lumavine {

PicNode::PicNode(PictureOwner* picture) : m_picture(picture)
{
}

PicNode::~PicNode() = default;

View* PicNode::owningView() const
{
    if (m_picture)
        return m_picture->view();
    return DisplayNode::owningView();
}

const String& PicNode::baseDirectory() const
{
    return m_picture ? m_picture->baseDirectory() : emptyString;
}

bool PicNode::handlesSuppressed() const
{
    return m_picture && m_picture->handlesSuppressed();
}

std::unique_ptr<WinImage> PicNode::createImage()
{
    if (m_picture)
        return m_picture->createImage();
    return DisplayNode::createImage();
}

void PicNode::writeXml(Element* parent)
{
    DisplayNode::writeXml(parent);
    addElement(parent, u"id", m_id);
    if (m_kind == ShapeKind::Line) {
        if (!m_endIdA.empty())
            addElement(parent, u"endida", m_endIdA);
        if (!m_endIdZ.empty())
            addElement(parent, u"endidz", m_endIdZ);
    }
}

void PicNode::copyFrom(const DisplayElement& other)
{
    DisplayNode::copyFrom(other);
    if (auto* node = dynamic_cast<const PicNode*>(&other); node && !m_picture)
        m_picture = node->m_picture;
    if (m_picture)
        setName(m_picture->uniqueName(m_kind));
}

void PicNode::moveTo(int x, int y)
{
    DisplayNode::moveTo(x, y);
    if (m_picture)
        m_picture->lineEndsChanged();
}

void PicNode::moveBy(PictureDelta delta)
{
    DisplayNode::moveBy(delta);
    if (m_picture)
        m_picture->lineEndsChanged();
}

bool PicNode::load(const Element* element)
{
    return readXml(element);
}

bool PicNode::readXml(const Element* element)
{
    if (!element)
        return false;
    m_id = getChildText(element, u"id");
    if (!DisplayNode::readXml(element))
        return false;
    if (m_kind == ShapeKind::Line) {
        m_endIdA = getChildText(element, u"endida");
        m_endIdZ = getChildText(element, u"endidz");
    }
    return true;
}

void PicNode::setLayer(int layer)
{
    if (m_layer == layer)
        return;
    m_layer = layer;
    if (m_picture)
        m_picture->layerChanged(this);
}

void PicNode::snapToPictureGrid()
{
    if (m_picture)
        snapToGrid(m_picture->gridSize());
}

void PicNode::snapPointsToPictureGrid()
{
    if (m_picture)
        snapPointsToGrid(m_picture->gridSize());
}

void PicNode::getKindName(String& name) const
{
    name = String(kindDisplayName(kindCode()));
}

void PicNode::attachEnd(int end, PicNode* node)
{
    end = end ? 1 : 0;
    if (node == this)
        node = nullptr;
    setAnchor(end, node);
    setEndId(end, node ? node->id() : String());
    computeLineEnds();
    // The ends can move; their handles go with them.
    updateHandles();
}

void PicNode::resolveEnds()
{
    for (int end = 0; end < 2; ++end) {
        const String& id = endId(end);
        PicNode* node = id.empty() || !m_picture ? nullptr : m_picture->findNode(id);
        if (node == this)
            node = nullptr;
        if (!node)
            setEndId(end, String());
        setAnchor(end, node);
    }
    computeLineEnds();
    updateHandles();
}

}
