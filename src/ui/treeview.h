#pragma once

#include <QStringList>
#include <QTreeView>

#include <memory>

namespace trovix {

class ImageList;
class NodeModel;
class RowList;

// One node of a list window's tree: the root, or one of the rows the window listed, with its image key. Its
// text is the row's first column, trimmed; its id the row's rowid. A node is a handle into its tree and
// lives until the tree is cleared.
class Node
{
public:
    QString text() const;
    const QString& imageKey() const;
    qint64 id() const;

private:
    friend class NodeModel;
    Node(const NodeModel* model, qint32 row, quint16 image);

    const NodeModel* m_model;
    qint32 m_row; // the row in the listed rows; the root has none
    quint16 m_image;
};

// The tree of a list window: one root node and its children, each with a key no
// other node has (the key prefix and the text; the root's key is its own). The
// children are the rows the window listed, which the tree shares rather than
// copies: a node is 16 bytes, its text read from the row when it is shown, so a
// list of 100,000 entries is built with no allocation a node and cleared in one step.
// The highlighted node is the current node, whatever moved it: a click, a press
// that ends elsewhere, a drag, the keys, type-to-find or the program itself. Each
// move is reported once (nodeSelected), so the window's current row follows the one
// node the user sees highlighted. A right press on a node selects it before the
// pop-up menu opens; one on empty space leaves the selection as it is.
class TreeView : public QTreeView
{
    Q_OBJECT

public:
    explicit TreeView(const ImageList& images, QWidget* parent = nullptr);
    ~TreeView() override;

    void clearNodes();
    Node* addRoot(const QString& key, const QString& text, const QString& imageKey);
    // The children are rows of these rows, added between these two calls; they appear together at the
    // end. A row whose first column, trimmed, holds no text, the excluded text, or a text another child
    // already has is not added. endChildren returns how many were added.
    void beginChildren(const QString& keyPrefix, std::shared_ptr<const RowList> rows, const QString& excluded);
    void addChild(int row, const QString& imageKey);
    int endChildren();

    Node* root() const;
    int childCount() const;
    Node* child(int row) const;
    QString key(const Node* node) const;
    Node* node(const QString& key) const;
    // The child bearing the text; nullptr when none does.
    Node* childByText(QStringView text) const;

    Node* selectedNode() const;
    // Selects the node as the program does; reported like any other move.
    void selectNode(const Node* node);
    void setExpanded(const Node* node, bool expanded);
    bool isExpanded(const Node* node) const;
    QRect nodeRect(const Node* node); // in the viewport, after scrolling it into view
    QModelIndex indexOf(const Node* node) const;
    Node* nodeAt(const QModelIndex& index) const;

signals:
    // The highlighted node changed, whatever moved it.
    void nodeSelected(trovix::Node* node);
    void nodeDoubleClicked();
    void returnPressed();
    // The right button was released over the tree, at this place on the screen.
    void rightReleased(const QPoint& globalPosition);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

private:
    NodeModel* m_model;
};

} // namespace trovix
