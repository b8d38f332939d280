#include "treeview.h"

#include "imagelist.h"

#include <QAbstractItemModel>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>

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
        m_rootKey.clear();
        m_prefix.clear();
        // The storage is kept: a list is cleared only to be filled again.
        m_children.clear();
        m_texts.clear();
        m_keys.clear();
        m_imageKeys.clear();
        endResetModel();
    }

    Node* setRoot(const QString& key, const QString& text, const QString& imageKey)
    {
        if (m_root)
            clear();
        const qint32 offset = qint32(m_texts.size());
        m_texts.append(text);
        beginInsertRows(QModelIndex(), 0, 0);
        m_root.reset(new Node(this, offset, qint32(text.size()), imageIndex(imageKey), 0));
        m_root->m_isRoot = true;
        m_rootKey = key;
        endInsertRows();
        return m_root.get();
    }

    void beginChildren(const QString& prefix, int expected)
    {
        m_prefix = prefix;
        m_pendingFrom = m_children.size();
        m_children.reserve(m_children.size() + size_t(std::max(expected, 0)));
    }

    void addChild(QStringView text, const QString& imageKey, qint64 id)
    {
        const qint32 offset = qint32(m_texts.size());
        m_texts.append(text);
        m_children.push_back(Node(this, offset, qint32(text.size()), imageIndex(imageKey), id));
    }

    // The texts are final now, so they can be looked up; the rows join the model in one step.
    int endChildren()
    {
        size_t kept = m_pendingFrom;
        m_keys.reserve(qsizetype(m_children.size()));
        for (size_t i = m_pendingFrom; i < m_children.size(); ++i) {
            Node& node = m_children[i];
            const auto [slot, inserted] = tryInsert(node.textView(), qint32(kept));
            Q_UNUSED(slot);
            if (!inserted)
                continue;
            node.m_row = qint32(kept);
            if (kept != i)
                m_children[kept] = node;
            ++kept;
        }
        const size_t added = kept - m_pendingFrom;
        m_children.resize(kept, Node(this, 0, 0, 0, 0));
        if (added > 0 && m_root) {
            beginInsertRows(index(0, 0, QModelIndex()), int(m_pendingFrom), int(kept) - 1);
            endInsertRows();
        }
        return int(added);
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
        return node->m_isRoot ? m_rootKey : m_prefix + node->text();
    }

    Node* node(const QString& key) const
    {
        if (m_root && key == m_rootKey)
            return m_root.get();
        return key.startsWith(m_prefix) ? childByText(QStringView(key).mid(m_prefix.size())) : nullptr;
    }

    Node* childByText(QStringView text) const
    {
        const auto found = m_keys.constFind(text);
        return found == m_keys.cend() ? nullptr : child(found.value());
    }

    QStringView textOf(const Node& node) const { return QStringView(m_texts).mid(node.m_offset, node.m_length); }
    const QString& imageKeyOf(const Node& node) const { return m_imageKeys.at(node.m_image); }

    QModelIndex indexOf(const Node* node) const
    {
        if (!node)
            return {};
        return node->m_isRoot ? createIndex(0, 0, quintptr(0)) : createIndex(node->m_row, 0, quintptr(1));
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
    std::pair<QHash<QStringView, qint32>::iterator, bool> tryInsert(QStringView text, qint32 row)
    {
        const auto found = m_keys.find(text);
        if (found != m_keys.end())
            return {found, false};
        return {m_keys.insert(text, row), true};
    }

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
    QString m_rootKey;
    QString m_prefix;
    std::vector<Node> m_children;
    size_t m_pendingFrom = 0;
    QString m_texts;                   // every node's text, one after the other
    QHash<QStringView, qint32> m_keys; // a child's text (in m_texts) to its row
    QStringList m_imageKeys;
};

Node::Node(const NodeModel* model, qint32 offset, qint32 length, quint16 image, qint64 id)
    : m_model(model)
    , m_offset(offset)
    , m_length(length)
    , m_id(id)
    , m_image(image)
{}

QString Node::text() const
{
    return textView().toString();
}

QStringView Node::textView() const
{
    return m_model->textOf(*this);
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

void TreeView::beginChildren(const QString& keyPrefix, int expected)
{
    m_model->beginChildren(keyPrefix, expected);
}

void TreeView::addChild(QStringView text, const QString& imageKey, qint64 id)
{
    m_model->addChild(text, imageKey, id);
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
