#include "picture/PicNode.h"
#include "picture/PictureOwner.h"
#include "picture/View.h"
#include "picture/WinImage.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>
#include <map>

using namespace lumavine;

namespace {

// The least a picture must do for its shapes: own them, find them by id,
// name them, and walk the lines when something moves.
class TestPicture : public PictureOwner {
public:
    View* view() const override { return nullptr; }
    int gridSize() const override { return grid; }
    void lineEndsChanged() override
    {
        ++lineWalks;
        for (auto& node : nodes)
            node->computeLineEnds();
    }
    String uniqueName(ShapeKind kind) override
    {
        return String(DisplayNode::kindDisplayName(int(kind))) + u"_" + String::number(++named);
    }
    String newNodeId() { return u"generated" + String::number(++generated); }
    // Takes a shape as a picture adopts one: a fresh id when it has none,
    // refused when its id is taken.
    PicNode* adopt(std::unique_ptr<PicNode> node)
    {
        if (node->id().empty())
            node->setId(newNodeId());
        if (findNode(node->id()))
            return nullptr;
        nodes.push_back(std::move(node));
        return nodes.back().get();
    }
    PicNode* findNode(std::u16string_view id) const override
    {
        for (auto& node : nodes) {
            if (node->id().equals(id))
                return node.get();
        }
        return nullptr;
    }
    const String& baseDirectory() const override { return emptyString; }
    std::unique_ptr<WinImage> createImage() override { return std::make_unique<WinImage>(); }

    // Reads one "node" element the way a picture loads it.
    PicNode* read(const Element* element)
    {
        auto node = std::make_unique<PicNode>(this);
        if (!node->readXml(element))
            return nullptr;
        return adopt(std::move(node));
    }

    std::vector<std::unique_ptr<PicNode>> nodes;
    int grid = 20;
    int lineWalks = 0;
    int named = 0;
    int generated = 0;
};

String nodeXml(PicNode& node)
{
    Document document(String(u"page"));
    Element* element = addElement(document.documentElement(), u"node");
    node.writeXml(element);
    return element->toXml();
}

// Writes the node, reads the text into a new node and writes that again.
String roundTrip(PicNode& node, TestPicture& picture)
{
    Document document(String(u"page"));
    Element* element = addElement(document.documentElement(), u"node");
    node.writeXml(element);
    PicNode* copy = picture.read(element);
    return copy ? nodeXml(*copy) : String(u"(not read)");
}

std::vector<QPoint> box(int x, int y, int w, int h)
{
    return { QPoint(x, y), QPoint(x + w, y), QPoint(x + w, y + h), QPoint(x, y + h) };
}

PicNode& addShape(TestPicture& picture, ShapeKind kind, const std::vector<QPoint>& points, const String& id)
{
    auto node = std::make_unique<PicNode>(&picture);
    node->setKind(kind);
    node->setPoints(points);
    node->setId(id);
    picture.nodes.push_back(std::move(node));
    return *picture.nodes.back();
}

}

TEST(PicNodeXml, EveryKindWritesReadsAndWritesTheSameText)
{
    TestPicture source;
    TestPicture target;
    PicNode& rectangle = addShape(source, ShapeKind::Rectangle, box(10, 20, 100, 50), String(u"r1"));
    rectangle.setProperties(u"name:Rectangle_1;text:Hello\nWorld;halign:center;valign:bottom;layer:2;"
                            u"font:\"font-family:arial;font-size:9;font-style:bold\";background-color:#ff000080;"
                            u"border:width:3;style:outset;color:#123456",
        u";", u":");
    PicNode& ellipse = addShape(source, ShapeKind::Ellipse, box(0, 0, 30, 30), String(u"e1"));
    ellipse.setProperty(u"background-color", String(u"#000000,#ffffff,forward"));
    PicNode& round = addShape(source, ShapeKind::RoundRectangle, box(5, 5, 80, 60), String(u"rr1"));
    round.setProperty(u"background-image", String(u"pics/missing.png"));
    PicNode& polygon
        = addShape(source, ShapeKind::Polygon, { QPoint(0, 0), QPoint(50, 5), QPoint(20, 40) }, String(u"p1"));
    polygon.setProperty(u"orientation", String(u"vertical"));
    PicNode& text = addShape(source, ShapeKind::Text, box(40, 40, 60, 14), String(u"t1"));
    text.setText(String(u"Caption & <more>"));
    PicNode& picture = addShape(source, ShapeKind::Image, box(0, 0, 40, 40), String(u"i1"));
    picture.setProperty(u"image-source", String(u"missing.png"));
    picture.setProperty(u"image-aspect", String(u"true"));
    picture.setProperty(u"image-transparency", String(u"#ff00ff"));
    PicNode& line = addShape(source, ShapeKind::Line, { QPoint(0, 0), QPoint(100, 0), QPoint(100, 80) }, String(u"l1"));
    line.setProperty(u"line", String(u"type:curve;width:2;enda:arrow;endcolorz:#00ff00"));
    line.setEndId(0, String(u"r1"));
    line.setEndId(1, String(u"e1"));

    for (auto& node : source.nodes) {
        String first = nodeXml(*node);
        EXPECT_EQ(roundTrip(*node, target), first) << first.toNarrow();
    }
    String rectangleXml = nodeXml(rectangle);
    EXPECT_NE(rectangleXml.find(u"<font>font-family:arial;font-size:9;font-color:#000000;font-style:bold</font>"),
        String::npos);
    EXPECT_NE(rectangleXml.find(u"<ntype>rectangle</ntype>"), String::npos);
    EXPECT_NE(rectangleXml.find(u"<point x=\"110\" y=\"70\""), String::npos);
    EXPECT_NE(rectangleXml.find(u"<halign>center</halign>"), String::npos);
    EXPECT_NE(rectangleXml.find(u"<layer>2</layer>"), String::npos);
    EXPECT_LT(rectangleXml.find(u"<border>"), rectangleXml.find(u"<name>"));
    String pictureXml = nodeXml(picture);
    EXPECT_NE(pictureXml.find(u"<image-opacity>1</image-opacity>"), String::npos);
    EXPECT_NE(pictureXml.find(u"<image-transparency>#ff00ff</image-transparency>"), String::npos);
    EXPECT_NE(nodeXml(line).find(u"<endidz>e1</endidz>"), String::npos);
    EXPECT_EQ(target.nodes.size(), source.nodes.size());
    EXPECT_EQ(target.findNode(u"l1")->endId(1), u"e1");
}

TEST(PicNodeXml, ReadingFillsMissingPartsAndRegisters)
{
    TestPicture picture;
    Document document(String(u"page"));
    Element* element = addElement(document.documentElement(), u"node");
    addElement(element, u"ntype", String(u"RECTANGLE"));
    addElement(element, u"npoints", String(u"0"));
    PicNode* rectangle = picture.read(element);
    ASSERT_NE(rectangle, nullptr);
    EXPECT_EQ(rectangle->id(), u"generated1");
    EXPECT_EQ(rectangle->points(), std::vector<QPoint>(4, QPoint(-1, -1)));
    EXPECT_EQ(picture.findNode(u"generated1"), rectangle);
    addElement(element, u"width", String(u"30"));
    addElement(element, u"height", String(u"20"));
    addElement(element, u"id", String(u"second"));
    PicNode* sized = picture.read(element);
    ASSERT_NE(sized, nullptr);
    EXPECT_EQ(sized->getBounds(), QRect(-1, -1, 30, 20));

    // Missing points and coordinates read as 0; name and text replace,
    // rather than repeat, children already there.
    Element* polygon = addElement(document.documentElement(), u"node");
    addElement(polygon, u"ntype", String(u"polygon"));
    addElement(polygon, u"npoints", String(u"3"));
    addElement(polygon, u"point")->setAttribute(u"x", String(u"7"));
    addElement(polygon, u"name", String(u"old"));
    PicNode* read = picture.read(polygon);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->points(), (std::vector<QPoint> { QPoint(7, 0), QPoint(0, 0), QPoint(0, 0) }));
    read->setName(String(u"new"));
    read->writeXml(polygon);
    std::unique_ptr<NodeList> names = polygon->getElementsByTagName(u"name");
    ASSERT_EQ(names->length(), 1u);
    EXPECT_EQ(getText(names->item(0)), u"new");
}

TEST(PicNodeXml, BadInputLoadsWhatItCanAndAllocatesNothingAbsurd)
{
    TestPicture picture;
    Document document(String(u"page"));
    auto node = [&](const char16_t* kind, const char16_t* count) {
        Element* element = addElement(document.documentElement(), u"node");
        addElement(element, u"ntype", String(kind));
        if (count)
            addElement(element, u"npoints", String(count));
        return element;
    };
    EXPECT_EQ(picture.read(node(u"triangle", u"3")), nullptr);
    EXPECT_EQ(picture.read(node(u"", nullptr)), nullptr);
    EXPECT_EQ(picture.read(node(u"line", u"1000000000")), nullptr);
    EXPECT_EQ(picture.read(node(u"polygon", u"-4")), nullptr);
    EXPECT_EQ(picture.read(node(u"polygon", u"many")), nullptr);
    EXPECT_TRUE(picture.nodes.empty());

    Element* wild = node(u"rectangle", u"4");
    for (int i = 0; i < 4; ++i) {
        Element* point = addElement(wild, u"point");
        point->setAttribute(u"x", String(u"2000000000"));
        point->setAttribute(u"y", String(u"-2000000000"));
    }
    addElement(wild, u"width", String(u"-50"));
    addElement(wild, u"border", String(u"width:2000000000"));
    addElement(wild, u"line", String(u"width:2147483647;enda:arrow"));
    addElement(wild, u"font", String(u"font-family:arial;font-size:-12"));
    PicNode* rectangle = picture.read(wild);
    ASSERT_NE(rectangle, nullptr);
    EXPECT_EQ(rectangle->points()[0], QPoint(DisplayNode::coordinateLimit, -DisplayNode::coordinateLimit));
    EXPECT_EQ(rectangle->font(), nullptr);
    QPoint extent;
    EXPECT_TRUE(rectangle->layout(extent));
    rectangle->moveBy(PictureDelta { 2000000000, 2000000000 });
    EXPECT_EQ(rectangle->points()[0].x(), DisplayNode::coordinateLimit);

    // A line with an absurd width attached to that shape still finds its ends.
    PicNode& line = addShape(picture, ShapeKind::Line, { QPoint(0, 0), QPoint(10, 10) }, String(u"wide"));
    line.setProperty(u"line", String(u"width:2147483647;enda:arrow;endz:arrow"));
    line.setEndId(0, rectangle->id());
    line.resolveEnds();
    EXPECT_EQ(line.anchor(0), rectangle);
    EXPECT_EQ(picture.nodes.size(), 2u);
}

TEST(PicNode, CopyMoveSnapAndEnds)
{
    TestPicture picture;
    PicNode& rectangle = addShape(picture, ShapeKind::Rectangle, box(31, 9, 40, 20), String(u"a"));
    rectangle.setName(String(u"Mine"));
    rectangle.setText(String(u"caption"));
    rectangle.setProperty(u"background-color", String(u"#00ff00"));
    rectangle.setProperty(u"font", String(u"font-family:arial;font-size:8"));
    rectangle.setProperty(u"border", String(u"width:4;style:ridge"));
    rectangle.setProperty(u"valign", String(u"bottom"));
    rectangle.setProperty(u"layer", String(u"5"));

    PicNode copy(&picture);
    copy.copyFrom(rectangle);
    EXPECT_EQ(copy.kind(), ShapeKind::Rectangle);
    EXPECT_EQ(copy.points(), rectangle.points());
    EXPECT_EQ(copy.getText(), u"caption");
    EXPECT_EQ(copy.getName(), u"Rectangle_1");
    EXPECT_EQ(copy.backgroundColorText(), u"#00ff00");
    ASSERT_NE(copy.font(), nullptr);
    EXPECT_EQ(copy.font()->family(), u"arial");
    EXPECT_EQ(copy.border().borderStyle(), BorderProperties::Ridge);
    EXPECT_EQ(copy.border().width(), 4);
    EXPECT_EQ(copy.verticalAlignment(), 2);
    EXPECT_EQ(copy.layer(), 5);

    PicNode& line = addShape(picture, ShapeKind::Line, { QPoint(300, 19), QPoint(500, 19) }, String(u"l"));
    line.setEndId(0, String(u"a"));
    line.setEndId(1, String(u"gone"));
    line.resolveEnds();
    EXPECT_EQ(line.anchor(0), &rectangle);
    EXPECT_EQ(line.endId(1), u"");
    int before = line.points()[0].x();
    EXPECT_GT(before, 71);

    rectangle.moveBy(PictureDelta { -100, 0 });
    EXPECT_EQ(picture.lineWalks, 1);
    EXPECT_EQ(line.points()[0].x(), before - 100);

    rectangle.snapToPictureGrid();
    EXPECT_EQ(rectangle.points()[0], QPoint(-60, 0));
    picture.grid = 50;
    rectangle.snapPointsToPictureGrid();
    EXPECT_EQ(rectangle.points()[0], QPoint(-50, 0));
    EXPECT_EQ(rectangle.points()[2], QPoint(0, 0));

    String kind;
    line.getKindName(kind);
    EXPECT_EQ(kind, u"Line");
    line.attachEnd(1, &line);
    EXPECT_EQ(line.anchor(1), nullptr);
}

TEST(PicNodeXml, TextStoredWithOnePointGrowsItsBoxFromThatPoint)
{
    TestPicture picture;
    Document document(String(u"page"));
    Element* element = addElement(document.documentElement(), u"node");
    addElement(element, u"ntype", String(u"text"));
    addElement(element, u"npoints", String(u"1"));
    Element* point = addElement(element, u"point");
    point->setAttribute(u"x", String(u"120"));
    point->setAttribute(u"y", String(u"80"));
    addElement(element, u"border", String(u"border-width:2"));
    addElement(element, u"text", String(u"Hello"));
    PicNode* text = picture.read(element);
    ASSERT_NE(text, nullptr);

    QPoint extent(0, 0);
    ASSERT_TRUE(text->layout(extent));
    ASSERT_EQ(text->pointCount(), 4);
    EXPECT_EQ(text->points()[0], QPoint(120, 80));
    ASSERT_GT(text->textWidth(), 0);
    EXPECT_EQ(text->getBounds(), QRect(120, 80, text->textWidth() + 4, text->textHeight() + 4));
    EXPECT_EQ(extent, QPoint(120 + text->textWidth() + 4 + 2, 80 + text->textHeight() + 4 + 2));

    // A second layout leaves the box where the first put it.
    QPoint again(0, 0);
    text->layout(again);
    EXPECT_EQ(text->getBounds().topLeft(), QPoint(120, 80));
}
