#include "picture/Pic.h"
#include "core/PtrMap.h"
#include "picture/BorderPainter.h"
#include "picture/PageRenderer.h"
#include "picture/View.h"
#include "xml/Elements.h"

#include <gtest/gtest.h>

using namespace lumavine;

namespace {

String ids(const PtrListOf<PicNode>& list)
{
    String out;
    for (PicNode* node : list) {
        if (!out.empty())
            out.push_back(u',');
        out.append(node->getName());
    }
    return out;
}

String pictureXml(Pic& picture)
{
    Document document(String(u"page"));
    picture.writeXml(document.documentElement());
    return document.toString();
}

}

TEST(Pic, DrawingOrderByLayerThenKindKeepsInsertionOrderForTies)
{
    Pic picture;
    PicNode* line = picture.addLine({ QPoint(0, 0), QPoint(50, 50) });
    PicNode* rectangle = picture.addRectangle(QRect(0, 0, 10, 10));
    PicNode* ellipse = picture.addEllipse(QRect(0, 0, 10, 10));
    PicNode* second = picture.addRectangle(QRect(5, 5, 10, 10));
    PicNode* top = picture.addEllipse(QRect(0, 0, 10, 10));
    top->setLayer(2);
    PicNode* round = picture.addRoundRectangle(QRect(0, 0, 10, 10));

    std::vector<PicNode*> order(picture.shapes().begin(), picture.shapes().end());
    std::vector<PicNode*> expected { round, rectangle, second, ellipse, line, top };
    EXPECT_EQ(order, expected);
}

TEST(Pic, DefaultNamesCountShapesOfTheKindAndSkipTakenNames)
{
    Pic picture;
    PicNode* first = picture.addRectangle(QRect(0, 0, 10, 10));
    PicNode* second = picture.addRectangle(QRect(0, 0, 10, 10));
    EXPECT_EQ(first->getName(), u"Rectangle_1");
    EXPECT_EQ(second->getName(), u"Rectangle_2");
    EXPECT_EQ(picture.addEllipse(QRect(0, 0, 5, 5))->getName(), u"Ellipse_1");
    first->setName(String(u"Rectangle_3"));
    EXPECT_EQ(picture.addRectangle(QRect(0, 0, 10, 10))->getName(), u"Rectangle_4");
    EXPECT_EQ(picture.addRoundRectangle(QRect(0, 0, 10, 10))->getName(), u"Round Rectangle_1");
    EXPECT_NE(first->id(), second->id());
    EXPECT_EQ(picture.findNode(second->id()), second);
}

TEST(Pic, SelectionTogglesAndGroupsSelectTogether)
{
    Pic picture;
    PicNode* a = picture.addRectangle(QRect(0, 0, 10, 10));
    PicNode* b = picture.addRectangle(QRect(20, 0, 10, 10));
    PicNode* c = picture.addRectangle(QRect(40, 0, 10, 10));

    picture.select(a, false, false);
    picture.select(b, false, false);
    EXPECT_EQ(ids(picture.selection()), u"Rectangle_2");
    EXPECT_FALSE(a->isSelected());
    picture.select(a, false, true);
    EXPECT_EQ(picture.selectionCount(), 2u);
    picture.select(a, true, true);
    EXPECT_TRUE(a->isSelected()) << "toggle keeps a selected shape";
    picture.select(a, false, true);
    EXPECT_FALSE(a->isSelected());
    EXPECT_EQ(ids(picture.selection()), u"Rectangle_2");

    PtrListOf<PicNode> pair;
    pair.append(a);
    pair.append(c);
    EXPECT_TRUE(picture.group(pair));
    PtrListOf<PicNode> single;
    single.append(b);
    EXPECT_FALSE(picture.group(single));
    picture.select(c, false, false);
    EXPECT_TRUE(a->isSelected());
    EXPECT_EQ(ids(picture.selection()), u"Rectangle_3,Rectangle_1");
    picture.select(a, false, true);
    EXPECT_EQ(picture.selectionCount(), 0u);

    picture.selectAll();
    EXPECT_EQ(picture.selectionCount(), 3u);
    picture.clearSelection();
    EXPECT_FALSE(b->isSelected());
    EXPECT_TRUE(picture.ungroup(pair));
    EXPECT_TRUE(picture.groups().empty());
}

TEST(Pic, RemovingAShapeFreesAttachedLinesAndShrinksGroups)
{
    Pic picture;
    PicNode* box = picture.addRectangle(QRect(100, 100, 50, 50));
    PicNode* other = picture.addRectangle(QRect(300, 100, 50, 50));
    PicNode* third = picture.addEllipse(QRect(0, 300, 50, 50));
    PicNode* line = picture.addLine({ QPoint(0, 0), QPoint(125, 125) });
    line->setEndId(1, box->id());
    line->resolveEnds();
    ASSERT_EQ(line->anchor(1), box);

    PtrListOf<PicNode> two;
    two.append(box);
    two.append(other);
    picture.group(two);
    PtrListOf<PicNode> alsoTwo;
    alsoTwo.append(box);
    alsoTwo.append(third);
    picture.group(alsoTwo);
    picture.select(box, false, false);

    std::unique_ptr<PicNode> removed = picture.removeNode(box);
    ASSERT_EQ(removed.get(), box);
    EXPECT_EQ(picture.findNode(box->id()), nullptr);
    EXPECT_EQ(picture.selectionCount(), 2u) << "the box's group mates stay selected";
    EXPECT_EQ(line->anchor(1), nullptr);
    EXPECT_TRUE(line->endId(1).empty());
    ASSERT_EQ(picture.groups().size(), 2u);
    EXPECT_EQ(picture.groups()[0]->count(), 1u);
    EXPECT_EQ(picture.removeNode(box), nullptr) << "already gone";

    EXPECT_EQ(picture.removeSelected(), 2);
    EXPECT_TRUE(picture.groups().empty());
    EXPECT_EQ(picture.shapeCount(), 1u);
}

TEST(Pic, HitTestsFindTheTopmostShapeAndLineEnds)
{
    Pic picture;
    PicNode* below = picture.addRectangle(QRect(0, 0, 100, 100));
    PicNode* above = picture.addRectangle(QRect(50, 50, 100, 100));
    PicNode* triangle = picture.addPolygon({ QPoint(200, 0), QPoint(300, 0), QPoint(200, 100) });
    PicNode* line = picture.addLine({ QPoint(400, 400), QPoint(500, 400) });

    EXPECT_EQ(picture.hitPoint(QPoint(60, 60), nullptr, false), above);
    EXPECT_EQ(picture.hitPoint(QPoint(60, 60), nullptr, true), below);
    EXPECT_EQ(picture.hitPoint(QPoint(10, 10), nullptr, false), below);
    EXPECT_EQ(picture.hitPoint(QPoint(60, 60), above, false), below);
    EXPECT_EQ(picture.hitPoint(QPoint(210, 10), nullptr, false), triangle);
    EXPECT_EQ(picture.hitPoint(QPoint(290, 90), nullptr, false), nullptr) << "outside the triangle, inside its box";
    EXPECT_EQ(picture.hitPoint(QPoint(450, 400), nullptr, false), nullptr) << "a line is never hit along its body";
    EXPECT_EQ(picture.hitPoint(QPoint(500, 400), nullptr, false), line);
    EXPECT_EQ(line->activeHandle(), 1);
    EXPECT_EQ(picture.hitPoint(QPoint(400, 400), nullptr, false), line);
    EXPECT_EQ(line->activeHandle(), 0);

    // A selected shape hit on a handle wins over the shape above it.
    picture.select(below, false, false);
    PicNode* hit = picture.hitPoint(QPoint(100, 100), nullptr, false);
    EXPECT_EQ(hit, below);
    EXPECT_EQ(below->activeHandle(), 2);
}

TEST(Pic, ShapesInRectangleAndInShape)
{
    Pic picture;
    PicNode* inside = picture.addRectangle(QRect(10, 10, 20, 20));
    PicNode* straddling = picture.addRectangle(QRect(90, 90, 20, 20));
    picture.addRectangle(QRect(300, 300, 20, 20));
    PtrListOf<PicNode> all;
    EXPECT_EQ(picture.shapesInRect(QRect(0, 0, 100, 100), all, true), 1u);
    EXPECT_EQ(all.first(), inside);
    PtrListOf<PicNode> any;
    EXPECT_EQ(picture.shapesInRect(QRect(0, 0, 100, 100), any, false), 2u);
    EXPECT_EQ(any.get(1), straddling);

    PicNode* triangle = picture.addPolygon({ QPoint(0, 0), QPoint(200, 0), QPoint(0, 200) });
    PtrListOf<PicNode> contained;
    EXPECT_EQ(picture.shapesInShape(triangle, contained, true), 1u);
    EXPECT_EQ(contained.first(), inside);
    PicNode* line = picture.addLine({ QPoint(0, 0), QPoint(500, 500) });
    PtrListOf<PicNode> none;
    EXPECT_EQ(picture.shapesInShape(line, none, false), 0u);
}

TEST(Pic, XmlRoundTripKeepsShapesGroupsAndAttachedLines)
{
    Pic picture;
    picture.setGridSize(30);
    picture.setSnapGrid(false);
    PicNode* box = picture.addRectangle(QRect(100, 100, 60, 40));
    box->setText(String(u"Caption"));
    PicNode* ellipse = picture.addEllipse(QRect(300, 100, 60, 40));
    PicNode* line = picture.addLine({ QPoint(130, 120), QPoint(330, 120) });
    line->setProperty(u"line", String(u"enda:arrow;endz:arrow"));
    line->setEndId(0, box->id());
    line->setEndId(1, ellipse->id());
    line->resolveEnds();
    PtrListOf<PicNode> pair;
    pair.append(box);
    pair.append(ellipse);
    picture.group(pair);

    String written = pictureXml(picture);
    Document document;
    document.parse(written);
    Pic reread;
    ASSERT_TRUE(reread.load(document.documentElement()));
    EXPECT_EQ(reread.shapeCount(), 3u);
    EXPECT_EQ(reread.gridSize(), 30);
    EXPECT_TRUE(reread.showGrid());
    EXPECT_FALSE(reread.snapGrid());
    PicNode* rereadLine = reread.findNode(line->id());
    ASSERT_NE(rereadLine, nullptr);
    EXPECT_EQ(rereadLine->anchor(0), reread.findNode(box->id()));
    EXPECT_EQ(rereadLine->anchor(1), reread.findNode(ellipse->id()));
    ASSERT_EQ(reread.groups().size(), 1u);
    EXPECT_EQ(reread.groups()[0]->count(), 2u);
    EXPECT_EQ(pictureXml(reread), written);
}

TEST(Pic, LoadingSkipsUnknownKindsAndUnknownGroupMembers)
{
    Document document;
    document.parse(u"<page><properties><gridsize>x</gridsize></properties>"
                   u"<node><ntype>hexagon</ntype><id>h</id></node>"
                   u"<node><ntype>rectangle</ntype><npoints>1000000000</npoints><id>r</id></node>"
                   u"<node><ntype>ellipse</ntype><id>e</id><npoints>4</npoints>"
                   u"<point x=\"0\" y=\"0\"/><point x=\"10\" y=\"0\"/><point x=\"10\" y=\"10\"/></node>"
                   u"<group><id>e</id><id>missing</id></group></page>");
    Pic picture;
    ASSERT_TRUE(picture.load(document.documentElement()));
    EXPECT_EQ(picture.gridSize(), 20);
    EXPECT_EQ(picture.findNode(u"h"), nullptr);
    ASSERT_NE(picture.findNode(u"e"), nullptr);
    EXPECT_EQ(picture.findNode(u"e")->pointCount(), 4);
    ASSERT_EQ(picture.groups().size(), 1u);
    EXPECT_EQ(picture.groups()[0]->count(), 1u);
}

TEST(Pic, PasteGivesNewIdsOffsetsAndTranslatesLineEndsAndGroups)
{
    Pic source;
    PicNode* box = source.addRectangle(QRect(100, 100, 60, 40));
    PicNode* circle = source.addEllipse(QRect(300, 100, 60, 40));
    PicNode* line = source.addLine({ QPoint(130, 120), QPoint(330, 120) });
    line->setEndId(0, box->id());
    line->setEndId(1, circle->id());
    line->resolveEnds();
    PtrListOf<PicNode> pair;
    pair.append(box);
    pair.append(circle);
    source.group(pair);
    Document clipboard;
    clipboard.parse(pictureXml(source));

    Pic target;
    target.addRectangle(QRect(0, 0, 10, 10));
    StringMap oldToNew(true);
    PtrMapOf<PicNode> pasted(true);
    target.importNodes(clipboard.documentElement(), oldToNew, pasted);
    EXPECT_EQ(target.shapeCount(), 4u);
    ASSERT_EQ(oldToNew.count(), 3u);
    PicNode* newBox = target.findNode(oldToNew.get(box->id()));
    PicNode* newCircle = target.findNode(oldToNew.get(circle->id()));
    PicNode* newLine = target.findNode(oldToNew.get(line->id()));
    ASSERT_TRUE(newBox && newCircle && newLine);
    EXPECT_NE(newBox->id(), box->id());
    EXPECT_EQ(newBox->getBounds(), QRect(110, 110, 60, 40));
    EXPECT_EQ(pasted.get(box->id()), newBox);
    EXPECT_EQ(newLine->anchor(0), newBox);
    EXPECT_EQ(newLine->anchor(1), newCircle);
    EXPECT_EQ(newLine->endId(0), newBox->id());
    ASSERT_EQ(target.groups().size(), 1u);
    EXPECT_EQ(target.groups()[0]->get(newCircle->id()), newCircle);
}

TEST(Pic, DraggingHandlesTheRubberBandAndTheSelection)
{
    Pic picture;
    PicNode* box = picture.addRectangle(QRect(100, 100, 50, 50));
    PicNode* line = picture.addLine({ QPoint(0, 0), QPoint(125, 125) });
    line->setEndId(1, box->id());
    line->resolveEnds();
    QPoint endBefore = line->points().back();

    // Drag the bottom-right handle by (20, 10) in two steps; a repeated
    // point moves nothing.
    ASSERT_EQ(box->hitHandle(QPoint(150, 150)), 2);
    picture.beginHandleDrag(box, QPoint(150, 150));
    EXPECT_TRUE(picture.handlesSuppressed());
    picture.dragTo(QPoint(160, 155));
    picture.dragTo(QPoint(170, 160));
    picture.dragTo(QPoint(170, 160));
    EXPECT_EQ(picture.endDrag(QPoint(170, 160)), box);
    EXPECT_EQ(box->getBounds(), QRect(100, 100, 70, 60));
    EXPECT_FALSE(picture.handlesSuppressed());

    picture.beginRubberBand(QPoint(10, 10));
    picture.dragTo(QPoint(40, 50));
    picture.dragTo(QPoint(40, 50));
    PicNode* band = picture.endDrag(QPoint(40, 50));
    ASSERT_TRUE(picture.isRubberBand(band));
    EXPECT_EQ(band->getBounds(), QRect(10, 10, 30, 40));
    EXPECT_EQ(picture.shapeCount(), 2u) << "the band is no shape of the picture";

    picture.select(box, false, false);
    EXPECT_FALSE(picture.trackDelta(false, QPoint(0, 0)));
    picture.moveSelectionBy(ScreenDelta { 30, 0 });
    EXPECT_EQ(box->getBounds().topLeft(), QPoint(130, 100));
    EXPECT_NE(line->points().back(), endBefore) << "the attached end follows the box";
}

TEST(Pic, PagePictureShowsShapesOverTheBackgroundWithoutEditingMarks)
{
    Pic picture;
    picture.setBackgroundColor(u"#00ff00");
    PicNode* box = picture.addRectangle(QRect(20, 20, 40, 30));
    box->setProperty(u"background-color", String(u"#ff0000"));
    box->border().setWidth(0);
    picture.select(box, false, false);
    PicNode* guideOnly = picture.addRectangle(QRect(100, 20, 30, 30));
    guideOnly->border().setWidth(0);

    QImage image = renderPagePicture(picture, QSize(200, 100));
    ASSERT_EQ(image.size(), QSize(200, 100));
    EXPECT_EQ(image.pixel(40, 35), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(5, 5), qRgb(0, 255, 0)) << "the background fills the page";
    EXPECT_EQ(image.pixel(20, 20), qRgb(255, 0, 0)) << "no handle is drawn on the selected corner";
    EXPECT_EQ(image.pixel(100, 20), qRgb(0, 255, 0)) << "no editing guide for a zero border";
    EXPECT_EQ(image.pixel(195, 95), qRgb(255, 255, 255)) << "beyond the extent the page is white";
    EXPECT_EQ(picture.view(), nullptr) << "the picture is given back to its own view";
}

TEST(Pic, SmallRoundRectanglesKeepAProperOutline)
{
    // Lower than two 30-pixel corners: the corners shrink instead of the
    // outline folding back on itself.
    QRect low(10, 10, 192, 36);
    QPainterPath path = BorderPainter::roundRectanglePath(low, false);
    EXPECT_TRUE(QRectF(low).adjusted(-0.5, -0.5, 0.5, 0.5).contains(path.boundingRect()));
    EXPECT_TRUE(path.contains(QPointF(low.center())));
    EXPECT_TRUE(path.contains(QPointF(low.left() + 20, low.center().y())));
    EXPECT_FALSE(path.contains(QPointF(low.left() + 1, low.top() + 1))) << "the corner is still rounded";
}

TEST(Pic, DraggedHandlesAndAttachedLineEndsKeepUpWithThePointer)
{
    Pic picture;
    PicNode* box = picture.addRectangle(QRect(100, 100, 100, 60));
    ASSERT_EQ(box->hitHandle(QPoint(200, 160)), 2);
    picture.beginHandleDrag(box, QPoint(200, 160));
    picture.dragTo(QPoint(210, 165));
    EXPECT_EQ(box->points()[2], QPoint(210, 165));
    picture.dragTo(QPoint(220, 170));
    EXPECT_EQ(box->points()[2], QPoint(220, 170));
    // Released where no move was reported: the corner still goes there.
    EXPECT_EQ(picture.endDrag(QPoint(224, 173)), box);
    EXPECT_EQ(box->getBounds(), QRect(100, 100, 124, 73));

    // The same drag at zoom 2 lands on the picture point under the pointer,
    // however small the steps.
    class ZoomedView : public ExportView {
    public:
        double zoom() const override { return 2.0; }
        int toScreenLength(int length) const override { return length * 2; }
        int toPictureLength(int length) const override { return length / 2; }
    } zoomed;
    picture.setView(&zoomed);
    ASSERT_EQ(box->hitHandle(QPoint(224, 173)), 2);
    picture.beginHandleDrag(box, QPoint(448, 346));
    for (int x = 449; x <= 468; ++x)
        picture.dragTo(QPoint(x, 346));
    picture.endDrag(QPoint(468, 346));
    EXPECT_EQ(box->points()[2], QPoint(234, 173));
    picture.setView(nullptr);

    // A line joins two boxes; dragging a corner of the second one moves its
    // centre, and after every step both ends sit where a fresh placement
    // would put them: end A does not aim at where end Z was.
    PicNode* left = picture.addRectangle(QRect(0, 300, 60, 60));
    PicNode* right = picture.addRectangle(QRect(300, 300, 60, 60));
    PicNode* line = picture.addLine({ QPoint(60, 330), QPoint(300, 330) });
    line->attachEnd(0, left);
    line->attachEnd(1, right);
    ASSERT_EQ(right->hitHandle(QPoint(360, 360)), 2);
    picture.beginHandleDrag(right, QPoint(360, 360));
    for (QPoint at : { QPoint(360, 420), QPoint(360, 500), QPoint(360, 620) }) {
        picture.dragTo(at);
        std::vector<QPoint> placed = line->points();
        QPoint tipA = line->lineEnd(0).tip;
        line->computeLineEnds();
        EXPECT_EQ(line->points(), placed) << at.y();
        EXPECT_EQ(line->lineEnd(0).tip, tipA) << at.y();
    }
    picture.endDrag(QPoint(360, 620));
    // Both ends lie on the line between the centres, (30, 330) to (330, 460).
    for (QPoint end : line->points()) {
        double off = (end.x() - 30) * 130.0 - (end.y() - 330) * 300.0;
        EXPECT_LE(std::abs(off) / std::hypot(300.0, 130.0), 1.5) << end.x() << "," << end.y();
    }
    EXPECT_FALSE(left->getBounds().contains(line->points().front()));
    EXPECT_FALSE(right->getBounds().contains(line->points().back()));
}

TEST(Pic, PagePicturesTooLargeToAllocateAreRefused)
{
    // About 10^14 bytes, then some gigabytes: refused before either is asked for.
    for (QPoint corner : { QPoint(9999000, 9999000), QPoint(40000, 40000) }) {
        Pic picture;
        picture.addRectangle(QRect(corner, QSize(50, 50)));
        String problem;
        QImage image = renderPagePicture(picture, QSize(), &problem);
        EXPECT_TRUE(image.isNull());
        EXPECT_TRUE(problem.startsWith(String::number(corner.x() + 50 + 1 + 6) + u" x ")) << problem.toNarrow();
        EXPECT_NE(problem.find(u"67108864"), String::npos) << problem.toNarrow();
        EXPECT_EQ(picture.view(), nullptr);
    }
    EXPECT_FALSE(pagePictureSizeProblem(QSize(8192, 8193)).empty());
    EXPECT_TRUE(pagePictureSizeProblem(QSize(8192, 8192)).empty());
    Pic picture;
    picture.addRectangle(QRect(10, 10, 50, 50));
    String problem;
    EXPECT_EQ(renderPagePicture(picture, QSize(), &problem).size(), QSize(67, 67));
    EXPECT_TRUE(problem.empty());
}

namespace {

// A canvas at some zoom: lengths scale by it, conversions truncate.
class ZoomedCanvas : public View {
public:
    explicit ZoomedCanvas(double zoom) : m_zoom(zoom) { }
    double zoom() const override { return m_zoom; }
    QRect toScreen(const QRect& r) const override
    {
        return QRect(toScreen(r.topLeft()), QSize(toScreenLength(r.width()), toScreenLength(r.height())));
    }
    QPoint toScreen(const QPoint& p) const override { return QPoint(toScreenLength(p.x()), toScreenLength(p.y())); }
    int toScreenLength(int length) const override { return int(length * m_zoom); }
    int toPictureLength(int length) const override { return int(length / m_zoom); }

private:
    double m_zoom;
};

std::unique_ptr<PicNode> readShape(Pic& picture, const char16_t* xml)
{
    Document document;
    document.parse(xml);
    std::unique_ptr<PicNode> shape = picture.createNode();
    EXPECT_TRUE(shape->readXml(document.documentElement()));
    return shape;
}

}

TEST(Pic, ShapesRemovedAndAdoptedAgainRestoreThePictureXml)
{
    Pic picture;
    PicNode* round = picture.addRoundRectangle(QRect(0, 200, 60, 40));
    PicNode* box = picture.addRectangle(QRect(100, 100, 60, 40));
    PicNode* triangle = picture.addPolygon({ QPoint(400, 0), QPoint(460, 0), QPoint(430, 50) });
    PicNode* ellipse = picture.addEllipse(QRect(300, 100, 60, 40));
    ellipse->setLayer(1);
    PicNode* arrow = picture.addLine({ QPoint(130, 120), QPoint(200, 20), QPoint(330, 120) });
    arrow->setProperty(u"line", String(u"enda:arrow;endz:arrow"));
    arrow->setLayer(1);
    arrow->attachEnd(0, box);
    arrow->attachEnd(1, ellipse);
    PicNode* plain = picture.addLine({ QPoint(430, 20), QPoint(330, 300), QPoint(330, 120) });
    plain->attachEnd(1, ellipse);
    PtrListOf<PicNode> pair;
    pair.append(round);
    pair.append(triangle);
    picture.group(pair);
    const String before = pictureXml(picture);
    ASSERT_NE(before.find(u"<endidz>" + ellipse->id() + u"</endidz>"), String::npos);

    // The lines first, so that the ellipse leaves no line naming it behind.
    picture.select(arrow, false, false);
    std::unique_ptr<PicNode> outArrow = picture.removeNode(arrow);
    std::unique_ptr<PicNode> outPlain = picture.removeNode(plain);
    std::unique_ptr<PicNode> outEllipse = picture.removeNode(ellipse);
    ASSERT_TRUE(outArrow && outPlain && outEllipse);
    EXPECT_EQ(picture.shapeCount(), 3u);
    EXPECT_EQ(picture.selectionCount(), 0u);
    EXPECT_EQ(outArrow->anchor(0), nullptr) << "a shape out of the picture points into it nowhere";
    EXPECT_EQ(outArrow->endId(0), box->id());

    // Back in another order: ends naming a shape still out wait for it.
    EXPECT_EQ(picture.adoptNode(std::move(outArrow)), arrow);
    EXPECT_EQ(arrow->anchor(0), box);
    EXPECT_EQ(arrow->anchor(1), nullptr);
    EXPECT_EQ(arrow->endId(1), ellipse->id());
    EXPECT_EQ(picture.adoptNode(std::move(outEllipse)), ellipse);
    EXPECT_EQ(arrow->anchor(1), ellipse);
    picture.adoptNode(std::move(outPlain));
    EXPECT_EQ(plain->anchor(1), ellipse);
    EXPECT_EQ(picture.findNode(ellipse->id()), ellipse);
    EXPECT_EQ(pictureXml(picture), before);

    // The shapes go on following what they are attached to.
    QPoint endBefore = plain->points().back();
    picture.select(ellipse, false, false);
    picture.moveSelectionBy(PictureDelta { 0, 40 });
    EXPECT_EQ(plain->points().back().y(), endBefore.y() + 40);

    // A grouped shape given back comes out of its group, as removal does;
    // adopting it again does not regroup it.
    std::unique_ptr<PicNode> outTriangle = picture.removeNode(triangle);
    ASSERT_EQ(picture.groups().size(), 1u);
    EXPECT_EQ(picture.groups()[0]->count(), 1u);
    picture.adoptNode(std::move(outTriangle));
    EXPECT_EQ(picture.groups()[0]->get(triangle->id()), nullptr);
    EXPECT_EQ(picture.adoptNode(nullptr), nullptr);
}

TEST(Pic, AdoptionPlacesByLayerAndKindAndKeepsIdsUnique)
{
    Pic picture;
    PicNode* box = picture.addRectangle(QRect(0, 0, 10, 10));
    PicNode* line = picture.addLine({ QPoint(0, 0), QPoint(50, 50) });
    PicNode* top = picture.addEllipse(QRect(0, 0, 10, 10));
    top->setLayer(2);

    // Reading only reads: the shape is in no picture until it is adopted.
    std::unique_ptr<PicNode> read
        = readShape(picture, u"<node><ntype>ellipse</ntype><npoints>4</npoints><layer>2</layer><id>mine</id></node>");
    PicNode* ellipse = read.get();
    EXPECT_EQ(picture.shapeCount(), 3u);
    EXPECT_EQ(picture.findNode(u"mine"), nullptr);
    std::unique_ptr<PicNode> unnamed = readShape(picture, u"<node><ntype>rectangle</ntype></node>");
    EXPECT_TRUE(unnamed->id().empty());
    std::unique_ptr<PicNode> clash = readShape(picture, u"<node><ntype>polygon</ntype><npoints>3</npoints></node>");
    clash->setId(box->id());

    EXPECT_EQ(picture.adoptNode(std::move(read)), ellipse);
    EXPECT_EQ(ellipse->id(), u"mine");
    PicNode* second = picture.adoptNode(std::move(unnamed));
    EXPECT_FALSE(second->id().empty());
    PicNode* polygon = picture.adoptNode(std::move(clash));
    EXPECT_NE(polygon->id(), box->id());
    EXPECT_EQ(picture.findNode(box->id()), box);
    EXPECT_EQ(picture.findNode(polygon->id()), polygon);
    EXPECT_EQ(picture.findNode(u"mine"), ellipse);

    std::vector<PicNode*> order(picture.shapes().begin(), picture.shapes().end());
    std::vector<PicNode*> expected { box, second, polygon, line, top, ellipse };
    EXPECT_EQ(order, expected);

    // A shape may move between pictures through the two doors.
    Pic other;
    PicNode* moved = other.adoptNode(picture.removeNode(second));
    EXPECT_EQ(moved, second);
    EXPECT_EQ(moved->picture(), &other);
    EXPECT_EQ(picture.findNode(second->id()), nullptr);
    EXPECT_EQ(other.findNode(second->id()), second);
}

TEST(Pic, MovesSayTheirUnitSoAReplayLandsAtAnyZoom)
{
    Pic picture;
    PicNode* box = picture.addRectangle(QRect(100, 100, 40, 40));
    picture.select(box, false, false);

    for (double zoom : { 0.5, 2.0 }) {
        ZoomedCanvas canvas(zoom);
        picture.setView(&canvas);
        QPoint start = box->getBounds().topLeft();
        // The pointer moves 30 screen pixels right and 10 up.
        picture.trackDelta(true, QPoint(200, 200));
        ASSERT_TRUE(picture.trackDelta(true, QPoint(230, 190)));
        EXPECT_EQ(picture.lastDelta(), (ScreenDelta { 30, -10 }));
        picture.moveSelectionBy(picture.lastDelta());
        QPoint expected = start + QPoint(int(30 / zoom), int(-10 / zoom));
        EXPECT_EQ(box->getBounds().topLeft(), expected) << "zoom " << zoom;

        // A move in picture pixels, as a replay carries it, ignores the zoom.
        picture.moveSelectionBy(PictureDelta { -20, 6 });
        EXPECT_EQ(box->getBounds().topLeft(), expected + QPoint(-20, 6)) << "zoom " << zoom;
        picture.setView(nullptr);
    }

    // A pasted copy lands 10 screen pixels off its original.
    Pic source;
    source.addRectangle(QRect(100, 100, 60, 40));
    Document clipboard;
    clipboard.parse(pictureXml(source));
    ZoomedCanvas canvas(2.0);
    Pic target(&canvas);
    StringMap oldToNew(true);
    PtrMapOf<PicNode> pasted(true);
    target.importNodes(clipboard.documentElement(), oldToNew, pasted);
    ASSERT_EQ(target.shapeCount(), 1u);
    EXPECT_EQ(target.shapes().first()->getBounds(), QRect(105, 105, 60, 40));
}

TEST(Pic, ShapesMovedTogetherTakeTheLineEndsThatHangOnThem)
{
    Pic picture;
    PicNode* left = picture.addRectangle(QRect(0, 0, 60, 60));
    PicNode* right = picture.addRectangle(QRect(300, 0, 60, 60));
    PicNode* line = picture.addLine({ QPoint(60, 30), QPoint(300, 30) });
    line->attachEnd(0, left);
    line->attachEnd(1, right);
    line->computeLineEnds();
    std::vector<QPoint> before = line->points();

    picture.moveShapesBy({ right }, PictureDelta { 0, 200 });
    EXPECT_EQ(right->getBounds(), QRect(300, 200, 60, 60));
    EXPECT_EQ(left->getBounds(), QRect(0, 0, 60, 60));
    std::vector<QPoint> placed = line->points();
    EXPECT_NE(placed, before) << "the end on the moved shape followed it";
    line->computeLineEnds();
    EXPECT_EQ(line->points(), placed) << "both ends were placed where a fresh placement puts them";
}
