#pragma once

#include <QWidget>

class QTextBrowser;

namespace trovix {

// The help file's own window: a browser over the file's pages, owned by the
// window that asked for help.
class HelpViewer : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QWidget* owner);

    // Opens the file at an anchor ("contents", or a topic number).
    void showTopic(const QString& helpFile, const QString& anchor);
    QString currentAnchor() const;
    QTextBrowser* browser() const { return m_browser; }

    // The viewer owned by the window, made on first use.
    static HelpViewer* of(QWidget* owner);

private:
    QTextBrowser* m_browser;
};

} // namespace trovix
