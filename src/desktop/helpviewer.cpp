#include "helpviewer.h"

#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace trovix {

HelpViewer::HelpViewer(QWidget* owner)
    // A dialog of the owner's, so that the window manager keeps it in front of the owner, also while the
    // owner stays on top of all other windows.
    : QWidget(owner, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpViewer"));
    setWindowTitle(tr("TROVIX Help"));
    m_browser->setObjectName(QStringLiteral("helpBrowser"));
    m_browser->setOpenLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    resize(560, 480);
}

void HelpViewer::showTopic(const QString& helpFile, const QString& anchor)
{
    if (!QFileInfo(helpFile).isFile()) {
        m_browser->setSource(QUrl());
        m_browser->setPlainText(tr("The help file %1 is missing.").arg(helpFile));
    } else {
        QUrl url = QUrl::fromLocalFile(QFileInfo(helpFile).absoluteFilePath());
        url.setFragment(anchor);
        m_browser->setSource(url, QTextDocument::HtmlResource);
    }
    show();
    raise();
    activateWindow();
}

QString HelpViewer::currentAnchor() const
{
    return m_browser->source().fragment();
}

HelpViewer* HelpViewer::of(QWidget* owner)
{
    if (auto* existing = owner ? owner->findChild<HelpViewer*>(QString(), Qt::FindDirectChildrenOnly) : nullptr)
        return existing;
    return new HelpViewer(owner);
}

} // namespace trovix
