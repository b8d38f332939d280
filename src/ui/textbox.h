#pragma once

#include <QPlainTextEdit>

#include <functional>

#include <QMimeData>

namespace trovix {

// A text box of a form: one line or several, with an optional rule that swallows
// typed characters, and an optional manual drop: a drop is handed to the window
// (dropped), which decides what the box then holds. Other boxes take no drops.
class TextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    enum class Lines { One, Many };

    explicit TextBox(Lines lines, QWidget* parent = nullptr);

    QString text() const { return toPlainText(); }
    void setText(const QString& text);

    // Typed characters for which the rule answers true never reach the box; pasting is not typing.
    void setSwallowed(std::function<bool(QChar)> rule) { m_swallowed = std::move(rule); }
    // Drops reach OLEDragDrop instead of being inserted.
    void setManualDrop(bool manual);

signals:
    void dropped(const QMimeData* data);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Lines m_lines;
    bool m_manualDrop = false;
    std::function<bool(QChar)> m_swallowed;
};

// Whether a key is the window's before it is the box's: a Ctrl or Alt key, asked about as a possible
// shortcut. Boxes answer false to such a request, so the window's menu shortcuts (Ctrl+Z Cancel, Ctrl+A
// Cascade, ...) come before their own editing keys; a key no shortcut takes still reaches the box.
bool leavesKeyToWindow(const QEvent* event);

// The first local file of a dropped file list (text/uri-list): a file URL without a host or on
// "localhost"; empty when the drop holds no list or no local file in it.
QString firstDroppedFile(const QMimeData* data);

} // namespace trovix
