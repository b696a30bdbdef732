// The commands of the canvas: new shapes, shape operations, zoom and grid,
// groups, the clipboard and dropped files.
#include "core/PtrMap.h"
#include "forms/MenuMap.h"
#include "forms/ShapeMenu.h"
#include "page/Page.h"
#include "page/PageNode.h"
#include "picture/WinImage.h"
#include "picture/canvas/PageView.h"
#include "xml/Document.h"
#include "xml/Elements.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <algorithm>
#include <array>

namespace lumavine {

namespace {

constexpr std::array zoomFactors { 0.1, 0.25, 0.33, 0.5, 0.75, 1.0 };

bool isPointShape(const PicNode* shape)
{
    return shape && (shape->kind() == ShapeKind::Line || shape->kind() == ShapeKind::Polygon);
}

}

void PageView::setContextPoint(QPoint widgetPoint)
{
    m_contextPoint = widgetPoint;
    PicNode* shape = m_page.hitPoint(toPicturePoint(widgetPoint), nullptr, false);
    m_contextShapeId = shape ? shape->id() : String();
}

QString PageView::titleText(const String& projectFileName, const String& extra) const
{
    QString title = QString::fromStdU16String(projectFileName) + QStringLiteral(", ")
        + QString::fromStdU16String(m_page.label()) + QStringLiteral(" (") + QString::number(int(zoom() * 100))
        + QStringLiteral("%) - ") + QString::fromStdU16String(Page::imageTypeDisplayName(m_page.imageType()));
    if (!extra.empty())
        title += QStringLiteral(" - ") + QString::fromStdU16String(extra);
    return title;
}

MenuMap& PageView::menus()
{
    if (!m_menus) {
        m_menus = std::make_unique<MenuMap>();
        std::unique_ptr<Document> document = ShapeMenu::document();
        m_menus->load(document->documentElement());
        m_menus->setCommandHandler([this](int id) { command(id); });
    }
    return *m_menus;
}

QMenu* PageView::prepareShapeMenu(QPoint widgetPoint)
{
    setContextPoint(widgetPoint);
    MenuMap& map = menus();
    const std::pair<const char16_t*, int> items[]
        = { { u"shape|edit", Edit }, { u"shape|delete", Delete }, { u"shape|reflect|reflectx", ReflectX },
              { u"shape|reflect|reflecty", ReflectY }, { u"shape|sizetogrid", AttachToGrid },
              { u"shape|insertpoint", InsertPoint }, { u"shape|deletepoint", DeletePoint } };
    for (const auto& [path, id] : items)
        map.enable(path, commandEnabled(id));

    map.clearSubmenu(String(u"shape|page"));
    m_menuPageIds.clear();
    for (const Page* page : client().projectPages()) {
        if (!page || m_menuPageIds.size() == size_t(pageCommandCount))
            continue;
        map.addItem(String(u"shape|page|") + page->label(), firstPageCommand + int(m_menuPageIds.size()));
        m_menuPageIds.push_back(page->id());
    }
    return map.popup(u"shape");
}

void PageView::contextMenuEvent(QContextMenuEvent* event)
{
    if (QMenu* menu = prepareShapeMenu(event->pos()))
        menu->exec(event->globalPos());
    // A menu closed without a choice leaves no context behind for the
    // commands that come from elsewhere.
    m_contextShapeId.clear();
    m_contextPoint.reset();
}

PicNode* PageView::contextShape() const
{
    return m_contextShapeId.empty() ? nullptr : m_page.findNode(m_contextShapeId);
}

bool PageView::commandEnabled(int id) const
{
    switch (id) {
    case InsertPoint:
    case DeletePoint:
        return isPointShape(contextShape());
    case Edit:
    case Delete:
    case ReflectX:
    case ReflectY:
    case AttachToGrid:
        return contextShape() || !m_page.selection().isEmpty();
    default:
        return true;
    }
}

namespace {

QString commandText(int id)
{
    switch (id) {
    case PageView::Edit:
        return QStringLiteral("Edit");
    case PageView::Delete:
        return QStringLiteral("Delete");
    case PageView::Cut:
        return QStringLiteral("Cut");
    case PageView::Paste:
        return QStringLiteral("Paste");
    case PageView::ReflectX:
    case PageView::ReflectY:
        return QStringLiteral("Reflect");
    case PageView::Scale:
        return QStringLiteral("Scale");
    case PageView::Rotate:
        return QStringLiteral("Rotate");
    case PageView::AttachToGrid:
        return QStringLiteral("Attach to Grid");
    case PageView::InsertPoint:
        return QStringLiteral("Insert Point");
    case PageView::DeletePoint:
        return QStringLiteral("Delete Point");
    case PageView::DetachEndA:
    case PageView::DetachEndZ:
        return QStringLiteral("Detach End");
    case PageView::Group:
        return QStringLiteral("Group");
    case PageView::Ungroup:
        return QStringLiteral("Ungroup");
    default:
        break;
    }
    if (id >= PageView::NewRectangle && id <= PageView::NewButton)
        return QStringLiteral("New Shape");
    return QStringLiteral("Grid");
}

}

bool PageView::isCanvasCommand(int id)
{
    switch (id) {
    case Scale:
    case NewRectangle:
    case NewEllipse:
    case NewPolygon:
    case NewLine:
    case NewPicture:
    case NewRoundRectangle:
    case NewThumbnail:
    case NewFrame:
    case NewButton:
    case ToggleShowGrid:
    case ToggleSnapGrid:
    case Edit:
    case Delete:
    case ReflectX:
    case ReflectY:
    case AttachToGrid:
    case Rotate:
    case DeletePoint:
    case InsertPoint:
    case Group:
    case Ungroup:
    case DetachEndA:
    case DetachEndZ:
    case Copy:
    case Cut:
    case Paste:
        return true;
    default:
        return (id >= ZoomFirst && id <= ZoomLast) || (id >= GridSizeFirst && id <= GridSizeLast);
    }
}

bool PageView::command(int id)
{
    bool handled = false;
    // The zoom is the view's, though the page keeps the last one: no step.
    // Going to another page changes nothing here. The grid's size and
    // switches are the picture's and saved with it, so they are steps; an
    // undo that brought back the whole page would otherwise undo them by
    // the way.
    // The page's and the project's commands go to the window, which may
    // show another page, or delete this one, before they return: they are
    // no step of this page, and this view may be on its way out.
    if (!isCanvasCommand(id)) {
        const QPointer<PageView> alive(this);
        handled = runCommand(id);
        if (alive) {
            m_contextShapeId.clear();
            m_contextPoint.reset();
        }
        return handled;
    }
    if ((id >= ZoomFirst && id <= ZoomLast) || id == Copy)
        handled = runCommand(id);
    else
        recordStep(commandText(id), [&] { handled = runCommand(id); });
    m_contextShapeId.clear();
    m_contextPoint.reset();
    return handled;
}

void PageView::collectTargets(PtrListOf<PicNode>& into) const
{
    if (PicNode* shape = contextShape())
        into.append(shape);
    else
        for (PicNode* shape : m_page.selection())
            into.append(shape);
}

QPoint PageView::newShapePosition() const
{
    if (m_contextPoint)
        return toPicturePoint(*m_contextPoint);
    return toPicturePoint(QPoint(clientSize().width() / 2, clientSize().height() / 2));
}

void PageView::created(PicNode* shape)
{
    if (!shape)
        return;
    m_page.clearSelection();
    m_carriedIds.clear();
    m_page.select(shape, false, false);
    markModified();
    redraw();
}

PicNode* PageView::createShape(int id, QPoint at)
{
    const int x = at.x();
    const int y = at.y();
    switch (id) {
    case NewRectangle:
        return m_page.addRectangle(QRect(x, y, 50, 50));
    case NewEllipse:
        return m_page.addEllipse(QRect(x, y, 50, 50));
    case NewPolygon:
        return m_page.addPolygon({ QPoint(x, y), QPoint(x - 50, y + 50), QPoint(x + 50, y + 50) });
    case NewLine:
        return m_page.addLine({ QPoint(x, y), QPoint(x + 100, y) });
    case NewRoundRectangle:
        return m_page.addRoundRectangle(QRect(x, y, 70, 70));
    case NewPicture:
    case NewThumbnail: {
        const String source = client().choosePicture(*this);
        if (source.empty())
            return nullptr;
        PicNode* picture = id == NewPicture ? m_page.addPicture(x, y, source) : m_page.addThumbnail(x, y, source);
        return keepIfReadable(picture, source);
    }
    case NewFrame: {
        PicNode* frame = m_page.addRectangle(QRect(x, y, 200, 200));
        if (!frame)
            return nullptr;
        if (PageNode* node = Page::asPageNode(frame))
            node->setFrame(true);
        frame->setProperties(u"border-color:#0080ff;border-width:15;border-style:outset", u";", u":");
        String name = frame->getName();
        frame->setName(name.replaceAll(u"Rectangle", u"Frame"));
        // Below the shapes of the page, which it shows things among.
        frame->setLayer(-1);
        return frame;
    }
    case NewButton: {
        PicNode* button = m_page.addRectangle(QRect(x, y, 110, 40));
        if (button)
            button->setProperties(u"border-color:#ffffff;border-width:4;border-style:outset;"
                                  u"background-color:#c0c0c0;text:Button;halign:center;valign:center",
                u";", u":");
        return button;
    }
    default:
        return nullptr;
    }
}

bool PageView::runCommand(int id)
{
    switch (id) {
    case NewRectangle:
    case NewEllipse:
    case NewPolygon:
    case NewLine:
    case NewRoundRectangle:
    case NewPicture:
    case NewThumbnail:
    case NewFrame:
    case NewButton:
        created(createShape(id, newShapePosition()));
        return true;
    case Edit: {
        PtrListOf<PicNode> shapes;
        collectTargets(shapes);
        if (!shapes.isEmpty() && client().editShapes(*this, shapes)) {
            markModified();
            redraw();
        }
        return true;
    }
    case Delete:
        if (PicNode* shape = contextShape()) {
            if (m_page.removeNode(shape))
                markModified();
        } else if (removeSelected() > 0) {
            markModified();
        }
        return true;
    case ReflectX:
    case ReflectY:
    case AttachToGrid: {
        PtrListOf<PicNode> shapes;
        collectTargets(shapes);
        if (shapes.isEmpty())
            return true;
        for (PicNode* shape : shapes) {
            if (id == ReflectX)
                shape->reflectX();
            else if (id == ReflectY)
                shape->reflectY();
            else
                shape->snapPointsToPictureGrid();
        }
        m_page.lineEndsChanged();
        markModified();
        redraw();
        return true;
    }
    case Scale:
    case Rotate: {
        PtrListOf<PicNode> shapes;
        collectTargets(shapes);
        if (shapes.isEmpty())
            return true;
        const bool scale = id == Scale;
        const std::optional<String> answer = scale ? client().askValue(*this, String(u"Scale"), String(u"Times"))
                                                   : client().askValue(*this, String(u"Rotate"), String(u"Degrees"));
        if (!answer)
            return true;
        const QString text = QString::fromStdU16String(*answer).trimmed();
        bool isNumber = false;
        const double factor = scale ? text.toDouble(&isNumber) : 0;
        const int degrees = scale ? 0 : text.toInt(&isNumber);
        if (!isNumber)
            return true;
        bool changed = false;
        for (PicNode* shape : shapes)
            changed = (scale ? shape->scale(factor) : shape->rotate(degrees)) || changed;
        if (changed) {
            m_page.lineEndsChanged();
            markModified();
            redraw();
        }
        return true;
    }
    case InsertPoint:
    case DeletePoint: {
        PicNode* shape = contextShape() ? contextShape() : m_page.firstSelected();
        if (!isPointShape(shape))
            return true;
        const int active = shape->activeHandle();
        const int last = shape->pointCount() - 1;
        bool changed = false;
        if (id == DeletePoint) {
            changed = shape->deletePoint(active);
        } else if (active >= 0) {
            // The new point goes into the segment after the active handle,
            // or before it when it is the last.
            changed = active < last ? shape->insertPoint(active, active + 1) : shape->insertPoint(active - 1, active);
            if (changed) {
                m_page.clearSelection();
                m_page.select(shape, false, false);
            }
        }
        if (changed) {
            m_page.lineEndsChanged();
            markModified();
            redraw();
        }
        return true;
    }
    case DetachEndA:
    case DetachEndZ: {
        PicNode* shape = contextShape() ? contextShape() : m_page.firstSelected();
        if (!shape || shape->kind() != ShapeKind::Line)
            return true;
        const int end = id == DetachEndA ? 0 : 1;
        shape->attachEnd(end, nullptr);
        shape->setEndId(end, String());
        markModified();
        redraw();
        return true;
    }
    case ToggleShowGrid:
        m_page.setShowGrid(!m_page.showGrid());
        redraw();
        return true;
    case ToggleSnapGrid:
        m_page.setSnapGrid(!m_page.snapGrid());
        return true;
    case Group:
        if (m_page.group(m_page.selection()))
            markModified();
        return true;
    case Ungroup:
        if (m_page.ungroup(m_page.selection()))
            markModified();
        return true;
    case Copy:
        copySelection();
        return true;
    case Cut:
        copySelection();
        if (removeSelected() > 0)
            markModified();
        return true;
    case Paste:
        paste();
        return true;
    default:
        break;
    }
    if (id >= firstPageCommand && id < firstPageCommand + int(m_menuPageIds.size())) {
        client().goToPage(m_menuPageIds[size_t(id - firstPageCommand)]);
        return true;
    }
    if (id >= ZoomFirst && id <= ZoomLast) {
        setZoom(zoomFactors[size_t(id - ZoomFirst)]);
        return true;
    }
    if (id >= GridSizeFirst && id <= GridSizeLast) {
        m_page.setGridSize(10 * (id - GridSizeFirst + 1));
        redraw();
        return true;
    }
    // The page's and the project's commands (preview, page properties,
    // publishing, the page dialogs) belong to the window; what they change
    // is shown afresh.
    if (!client().pageCommand(*this, id))
        return false;
    redraw();
    return true;
}

void PageView::copySelection()
{
    if (m_page.selection().isEmpty())
        return;
    Document document(String(u"page"));
    for (PicNode* shape : m_page.selection())
        shape->writeXml(addElement(document.documentElement(), String(u"node")));
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(document.toString()));
}

void PageView::paste()
{
    pasteText(QGuiApplication::clipboard()->text());
}

PicNode* PageView::keepIfReadable(PicNode* picture, const String& source)
{
    if (!picture || (picture->image() && picture->image()->isLoaded()))
        return picture;
    // A folder, an empty or unreadable file, or one that is no picture
    // would leave a shape showing nothing.
    m_page.removeNode(picture);
    client().reportError(*this, u"Cannot read the picture: " + source);
    return nullptr;
}

bool PageView::pasteText(const QString& text)
{
    if (text.isEmpty())
        return false;
    // Read line by line until the lines read make a whole document: dropped
    // text may carry more after the copied shapes.
    // The root element joins the document when it closes.
    Document document;
    for (qsizetype at = 0; at < text.size() && !document.documentElement();) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        end = end < 0 ? text.size() : end + 1;
        document.parse(QStringView(text).mid(at, end - at).toString().toStdU16String());
        at = end;
    }
    const Element* root = document.documentElement();
    if (!root)
        return false;
    StringMap oldToNew(true);
    PtrMapOf<PicNode> pasted(true);
    m_page.importNodes(root, oldToNew, pasted);
    if (pasted.count() > 0)
        markModified();
    redraw();
    return true;
}

namespace {

bool isPictureFile(const QString& path)
{
    static const QStringList types { "gif", "jpg", "jpeg", "png", "bmp" };
    const QString suffix = QFileInfo(path).suffix();
    return std::any_of(types.begin(), types.end(),
        [&](const QString& type) { return suffix.compare(type, Qt::CaseInsensitive) == 0; });
}

}

void PageView::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() || event->mimeData()->hasText())
        event->acceptProposedAction();
}

void PageView::dragMoveEvent(QDragMoveEvent* event)
{
    event->acceptProposedAction();
}

void PageView::dropEvent(QDropEvent* event)
{
    recordStep(QStringLiteral("Drop"), [&] { dropOnPage(event); });
}

void PageView::dropOnPage(QDropEvent* event)
{
    const QMimeData* data = event->mimeData();
    const QPoint at = toPicturePoint(event->position().toPoint());
    if (data->hasUrls()) {
        PicNode* added = nullptr;
        for (const QUrl& url : data->urls()) {
            if (!url.isLocalFile() || !isPictureFile(url.toLocalFile()))
                continue;
            const String path(url.toLocalFile().toStdU16String());
            if (PicNode* shape = keepIfReadable(m_page.addPicture(at.x(), at.y(), path), path))
                added = shape;
        }
        if (added) {
            markModified();
            redraw();
        }
        event->acceptProposedAction();
        return;
    }
    if (data->hasText()) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        pasteText(data->text());
        QGuiApplication::restoreOverrideCursor();
        event->acceptProposedAction();
    }
}

}
