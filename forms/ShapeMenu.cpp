#include "forms/ShapeMenu.h"

#include "forms/FormDocument.h"

namespace lumavine {

std::unique_ptr<Document> ShapeMenu::document()
{
    auto document = std::make_unique<Document>(u"menu");
    auto entry = [](Node* parent, std::u16string_view attributes) {
        return FormDocument::addControl(parent, u"entry", attributes);
    };
    Element* shape = entry(document->documentElement(), u"type:menu;name:shape;text:Shape");
    entry(shape, u"type:item;name:edit;text:Edit...;id:32400");
    entry(shape, u"type:item;name:delete;text:Delete;id:32401");
    entry(shape, u"type:item;name:scale;text:Scale...;id:0");
    entry(shape, u"type:item;name:sizetogrid;text:Attach To Grid;id:32404");
    entry(shape, u"type:item;name:insertpoint;text:Insert Point;id:32408");
    entry(shape, u"type:item;name:deletepoint;text:Delete Point;id:32407");
    Element* reflect = entry(shape, u"type:menu;name:reflect;text:Reflect");
    entry(reflect, u"type:item;name:reflectx;text:X;id:32402");
    entry(reflect, u"type:item;name:reflecty;text:Y;id:32403");
    Element* create = entry(shape, u"type:menu;name:new;text:New");
    entry(create, u"type:item;name:rectangle;text:Rectangle;id:32100");
    entry(create, u"type:item;name:roundrectangle;text:Rounded Rectangle;id:32106");
    entry(create, u"type:item;name:ellipse;text:Ellipse;id:32101");
    entry(create, u"type:item;name:polygon;text:Polygon;id:32102");
    entry(create, u"type:item;name:line;text:Line;id:32103");
    entry(create, u"type:item;name:image;text:Picture;id:32104");
    entry(create, u"type:item;name:thumb;text:Thumbnail;id:32107");
    entry(create, u"type:item;name:frame;text:Frame;id:32108");
    entry(create, u"type:item;name:button;text:Button;id:32109");
    entry(shape, u"type:menu;name:page;text:Go to Page");
    return document;
}

}
