#include "textbox.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

namespace trovix {

TextBox::TextBox(Lines lines, QWidget* parent)
    : QPlainTextEdit(parent)
    , m_lines(lines)
{
    setTabChangesFocus(true);
    // Only a box that hands its drops to the window takes them.
    setAcceptDrops(false);
    if (lines == Lines::One) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        document()->setDocumentMargin(1);
    } else {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
}

void TextBox::setText(const QString& text)
{
    setPlainText(text);
}

void TextBox::setManualDrop(bool manual)
{
    m_manualDrop = manual;
    setAcceptDrops(manual);
}

bool leavesKeyToWindow(const QEvent* event)
{
    return event->type() == QEvent::ShortcutOverride
           && (static_cast<const QKeyEvent*>(event)->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

bool TextBox::event(QEvent* event)
{
    return !leavesKeyToWindow(event) && QPlainTextEdit::event(event);
}

void TextBox::keyPressEvent(QKeyEvent* event)
{
    if (m_lines == Lines::One && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->ignore();
        return;
    }
    // The rule is about characters typed; Ctrl+V and the other editing keys are commands, and pasting
    // is not typing.
    const QString typed = event->text();
    // AltGr arrives as Ctrl+Alt and types characters, so those still meet the rule.
    const Qt::KeyboardModifiers held = event->modifiers();
    const bool command = (held & (Qt::ControlModifier | Qt::MetaModifier)) && !(held & Qt::AltModifier);
    if (m_swallowed && !command && typed.size() == 1 && typed.front().isPrint() && m_swallowed(typed.front())) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void TextBox::insertFromMimeData(const QMimeData* source)
{
    if (m_lines == Lines::Many || !source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    // A one-line box keeps one line: pasted line breaks become blanks.
    QString text = source->text();
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    insertPlainText(text);
}

bool TextBox::canInsertFromMimeData(const QMimeData* source) const
{
    return !m_manualDrop && QPlainTextEdit::canInsertFromMimeData(source);
}

void TextBox::dragEnterEvent(QDragEnterEvent* event)
{
    if (!m_manualDrop) {
        QPlainTextEdit::dragEnterEvent(event);
        return;
    }
    event->acceptProposedAction();
}

void TextBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (!m_manualDrop) {
        QPlainTextEdit::dragMoveEvent(event);
        return;
    }
    event->acceptProposedAction();
}

void TextBox::dropEvent(QDropEvent* event)
{
    if (!m_manualDrop) {
        QPlainTextEdit::dropEvent(event);
        return;
    }
    event->acceptProposedAction();
    emit dropped(event->mimeData());
}

QString firstDroppedFile(const QMimeData* data)
{
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            continue;
        // A file URL naming another machine is not a file of this one: "file://server/x" is not "/x".
        const QString host = url.host();
        if (host.isEmpty())
            return url.toLocalFile();
        if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
            return url.path();
    }
    return {};
}

} // namespace trovix
