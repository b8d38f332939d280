#include "treeview.h"

#include "core/listednames.h"
#include "core/rowlist.h"
#include "imagelist.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace trovix {

// The nodes as a model: the root at the top level (internal id 0), its children below it (id 1).
class NodeModel : public QAbstractItemModel
{
public:
    NodeModel(const ImageList& images, QObject* parent)
        : QAbstractItemModel(parent)
        , m_images(images)
    {}

    void clear()
    {
        beginResetModel();
        m_root.reset();
        m_rootText.clear();
        m_rootKey.clear();
        m_prefix.clear();
        m_children.clear();
        m_children.shrink_to_fit();
        m_rows.reset();
        m_imageKeys.clear();
        endResetModel();
    }

    Node* setRoot(const QString& key, const QString& text, const QString& imageKey)
    {
        if (m_root)
            clear();
        beginInsertRows(QModelIndex(), 0, 0);
        m_root.reset(new Node(this, -1, imageIndex(imageKey)));
        m_rootText = text;
        m_rootKey = key;
        endInsertRows();
        return m_root.get();
    }

    void beginChildren(const QString& prefix, std::shared_ptr<const RowList> rows, const QString& excluded)
    {
        m_prefix = prefix;
        m_rows = std::move(rows);
        m_excluded = excluded.toStdString();
        m_children.clear();
        m_children.reserve(size_t(m_rows ? m_rows->size() : 0));
    }

    void addChild(int row, const QString& imageKey) { m_children.push_back(Node(this, row, imageIndex(imageKey))); }

    // The rows join the model in one step, each text once: the first row that bears it keeps it.
    int endChildren()
    {
        std::vector<bool> listed(size_t(m_rows ? m_rows->size() : 0));
        if (m_rows)
            ListedNames::forEach(*m_rows, m_excluded,
                                 [&listed](int row, std::string_view) { listed[size_t(row)] = true; });
        size_t kept = 0;
        for (const Node& node : m_children) {
            if (node.m_row >= 0 && listed[size_t(node.m_row)])
                m_children[kept++] = node;
        }
        m_children.resize(kept, Node(this, -1, 0));
        m_children.shrink_to_fit();
        if (kept > 0 && m_root) {
            beginInsertRows(index(0, 0, QModelIndex()), 0, int(kept) - 1);
            endInsertRows();
        }
        return int(kept);
    }

    Node* root() const { return m_root.get(); }
    int childCount() const { return m_root ? int(m_children.size()) : 0; }
    Node* child(int row) const
    {
        return row >= 0 && row < childCount() ? const_cast<Node*>(&m_children[size_t(row)]) : nullptr;
    }

    QString key(const Node* node) const
    {
        if (!node)
            return {};
        return node == m_root.get() ? m_rootKey : m_prefix + node->text();
    }

    Node* node(const QString& key) const
    {
        if (m_root && key == m_rootKey)
            return m_root.get();
        return key.startsWith(m_prefix) ? childByText(QStringView(key).mid(m_prefix.size())) : nullptr;
    }

    Node* childByText(QStringView text) const
    {
        const std::string wanted = text.toString().toStdString();
        std::string storage;
        for (int row = 0; row < childCount(); ++row) {
            if (ListedNames::trimmed(cellOf(m_children[size_t(row)]), storage) == wanted)
                return child(row);
        }
        return nullptr;
    }

    QString textOf(const Node& node) const
    {
        if (&node == m_root.get())
            return m_rootText;
        const std::string_view cell = cellOf(node);
        return QString::fromUtf8(cell.data(), qsizetype(cell.size())).trimmed();
    }
    qint64 idOf(const Node& node) const { return &node == m_root.get() ? 0 : m_rows->id(node.m_row); }
    const QString& imageKeyOf(const Node& node) const { return m_imageKeys.at(node.m_image); }

    QModelIndex indexOf(const Node* node) const
    {
        if (!node)
            return {};
        if (node == m_root.get())
            return createIndex(0, 0, quintptr(0));
        return createIndex(int(node - m_children.data()), 0, quintptr(1));
    }

    Node* nodeAt(const QModelIndex& index) const
    {
        if (!index.isValid() || index.model() != this)
            return nullptr;
        return index.internalId() == 0 ? m_root.get() : child(index.row());
    }

    QModelIndex index(int row, int column, const QModelIndex& parent) const override
    {
        if (column != 0 || row < 0)
            return {};
        if (!parent.isValid())
            return m_root && row == 0 ? createIndex(0, 0, quintptr(0)) : QModelIndex();
        if (parent.internalId() == 0 && row < childCount())
            return createIndex(row, 0, quintptr(1));
        return {};
    }

    QModelIndex parent(const QModelIndex& child) const override
    {
        if (!child.isValid() || child.internalId() == 0)
            return {};
        return createIndex(0, 0, quintptr(0));
    }

    int rowCount(const QModelIndex& parent) const override
    {
        if (!parent.isValid())
            return m_root ? 1 : 0;
        return parent.internalId() == 0 && parent.column() == 0 ? childCount() : 0;
    }

    int columnCount(const QModelIndex&) const override { return 1; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const Node* node = nodeAt(index);
        if (!node)
            return {};
        if (role == Qt::DisplayRole)
            return node->text();
        if (role == Qt::DecorationRole)
            return m_images.image(node->imageKey());
        return {};
    }

private:
    // Only rows with a value in their first column become children.
    std::string_view cellOf(const Node& node) const { return m_rows->utf8(node.m_row, 0).value_or(std::string_view()); }

    quint16 imageIndex(const QString& imageKey)
    {
        // Few distinct images: a look along the list beats hashing.
        for (qsizetype i = m_imageKeys.size() - 1; i >= 0; --i) {
            if (m_imageKeys.at(i) == imageKey)
                return quint16(i);
        }
        m_imageKeys.append(imageKey);
        return quint16(m_imageKeys.size() - 1);
    }

    const ImageList& m_images;
    std::unique_ptr<Node> m_root;
    QString m_rootText;
    QString m_rootKey;
    QString m_prefix;
    std::string m_excluded;
    std::shared_ptr<const RowList> m_rows; // the rows the children stand for
    std::vector<Node> m_children;
    QStringList m_imageKeys;
};

Node::Node(const NodeModel* model, qint32 row, quint16 image)
    : m_model(model)
    , m_row(row)
    , m_image(image)
{}

QString Node::text() const
{
    return m_model->textOf(*this);
}

qint64 Node::id() const
{
    return m_model->idOf(*this);
}

const QString& Node::imageKey() const
{
    return m_model->imageKeyOf(*this);
}

TreeView::TreeView(const ImageList& images, QWidget* parent)
    : QTreeView(parent)
    , m_model(new NodeModel(images, this))
{
    setModel(m_model);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setExpandsOnDoubleClick(true);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& current) {
        if (Node* node = nodeAt(current))
            emit nodeSelected(node);
    });
}

TreeView::~TreeView() = default;

void TreeView::clearNodes()
{
    m_model->clear();
}

Node* TreeView::addRoot(const QString& key, const QString& text, const QString& imageKey)
{
    return m_model->setRoot(key, text, imageKey);
}

void TreeView::beginChildren(const QString& keyPrefix, std::shared_ptr<const RowList> rows, const QString& excluded)
{
    m_model->beginChildren(keyPrefix, std::move(rows), excluded);
}

void TreeView::addChild(int row, const QString& imageKey)
{
    m_model->addChild(row, imageKey);
}

int TreeView::endChildren()
{
    return m_model->endChildren();
}

Node* TreeView::root() const
{
    return m_model->root();
}

int TreeView::childCount() const
{
    return m_model->childCount();
}

Node* TreeView::child(int row) const
{
    return m_model->child(row);
}

QString TreeView::key(const Node* node) const
{
    return m_model->key(node);
}

Node* TreeView::node(const QString& key) const
{
    return m_model->node(key);
}

Node* TreeView::childByText(QStringView text) const
{
    return m_model->childByText(text);
}

Node* TreeView::selectedNode() const
{
    return nodeAt(currentIndex());
}

void TreeView::selectNode(const Node* node)
{
    const QModelIndex index = indexOf(node);
    if (index.isValid())
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    else
        selectionModel()->clear();
}

void TreeView::setExpanded(const Node* node, bool expanded)
{
    QTreeView::setExpanded(indexOf(node), expanded);
}

bool TreeView::isExpanded(const Node* node) const
{
    return QTreeView::isExpanded(indexOf(node));
}

QRect TreeView::nodeRect(const Node* node)
{
    const QModelIndex index = indexOf(node);
    scrollTo(index);
    return visualRect(index);
}

QModelIndex TreeView::indexOf(const Node* node) const
{
    return m_model->indexOf(node);
}

Node* TreeView::nodeAt(const QModelIndex& index) const
{
    return m_model->nodeAt(index);
}

void TreeView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        // The pop-up menu that opens on the release acts on the node under the mouse.
        const QModelIndex index = indexAt(event->position().toPoint());
        if (index.isValid())
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        event->accept();
        return;
    }
    QTreeView::mousePressEvent(event);
}

void TreeView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::RightButton)
        QTreeView::mouseReleaseEvent(event);
    else
        emit rightReleased(event->globalPosition().toPoint());
}

void TreeView::mouseDoubleClickEvent(QMouseEvent* event)
{
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit nodeDoubleClicked();
}

void TreeView::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QLatin1String("\r"))
        emit returnPressed();
    QTreeView::keyPressEvent(event);
}

// One node is highlighted and current at once: no Ctrl+click takes the highlight away, and no key moves
// the current node without the highlight.
QItemSelectionModel::SelectionFlags TreeView::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    if (!index.isValid() || (event && event->type() == QEvent::MouseButtonRelease))
        return QItemSelectionModel::NoUpdate;
    return QItemSelectionModel::ClearAndSelect;
}

} // namespace trovix
