#pragma once

#include "core/String.h"

#include <memory>

namespace lumavine {

class PicNode;
class View;
class WinImage;
enum class ShapeKind;

// What a shape asks of the picture that owns it. The picture implements it;
// shapes never reach further into the picture than this.
class PictureOwner {
public:
    virtual ~PictureOwner() = default;

    // The view the picture is shown in; null when it is shown nowhere yet.
    virtual View* view() const = 0;
    virtual int gridSize() const = 0;
    // A shape moved: every line recomputes its ends.
    virtual void lineEndsChanged() = 0;
    // A default name for a new shape of `kind` that no shape of that kind
    // bears yet.
    virtual String uniqueName(ShapeKind kind) = 0;
    virtual PicNode* findNode(std::u16string_view id) const = 0;
    // A shape's layer changed: it moves to its place in the drawing order.
    virtual void layerChanged(PicNode*) { }
    // True while the pointer is captured or the handles are hidden.
    virtual bool handlesSuppressed() const { return false; }
    // The folder relative image sources resolve against.
    virtual const String& baseDirectory() const = 0;
    // An image holder for a shape, with the picture's base directory.
    virtual std::unique_ptr<WinImage> createImage() = 0;
};

}
