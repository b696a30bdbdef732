#pragma once

#include "picture/DisplayNode.h"

namespace lumavine {

class Pic;
class PictureOwner;

// A shape of a picture: its id, unique within the picture, and for lines the
// ids of the shapes the two ends are attached to.
class PicNode : public DisplayNode {
public:
    explicit PicNode(PictureOwner* picture = nullptr);
    ~PicNode() override;

    void writeXml(Element* parent) override;
    void copyFrom(const DisplayElement& other) override;
    std::unique_ptr<WinImage> createImage() override;
    View* owningView() const override;
    const String& baseDirectory() const override;
    bool handlesSuppressed() const override;
    void moveTo(int x, int y) override;
    void moveBy(PictureDelta delta) override;
    bool load(const Element* element) override;
    // Fills the shape from its element, id and end ids included; an absent
    // id stays empty. Only adoption (Pic::adoptNode) puts it in a picture.
    bool readXml(const Element* element) override;

    virtual void setLayer(int layer);
    virtual void snapToPictureGrid();
    virtual void snapPointsToPictureGrid();
    virtual void getKindName(String& name) const;

    PictureOwner* picture() const { return m_picture; }
    void setPicture(PictureOwner* picture) { m_picture = picture; }
    const String& id() const { return m_id; }
    void setId(const String& id) { m_id = id; }
    // End 0 is A, end 1 is Z.
    const String& endId(int end) const { return end ? m_endIdZ : m_endIdA; }
    void setEndId(int end, const String& id) { (end ? m_endIdZ : m_endIdA) = id; }
    // Attaches an end to a shape (null frees it), keeping its id.
    void attachEnd(int end, PicNode* node);
    // Looks the end ids up in the picture; ids that name no shape are
    // cleared. Then recomputes the ends.
    void resolveEnds();

    // The shape's largest point plus border as its picture last counted it,
    // laying it out or moving it.
    QPoint countedExtent() const { return m_countedExtent; }
    void setCountedExtent(QPoint extent) { m_countedExtent = extent; }

private:
    PictureOwner* m_picture = nullptr;
    QPoint m_countedExtent;
    String m_id;
    String m_endIdA;
    String m_endIdZ;
};

}
