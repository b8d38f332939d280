#include "tipwindow.h"

#include "core/programfiles.h"
#include "core/tipsfile.h"
#include "desktop/fonts.h"
#include "session.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace trovix {

namespace {

constexpr int WidthTwips = 6240;
constexpr int HeightTwips = 3420;
const QColor PictureColour(255, 250, 214);
const QColor HeadingColour(0, 0, 128);

} // namespace

TipWindow::TipWindow(Session& session)
    : m_session(session)
{
    setObjectName(QStringLiteral("tipWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setFixedSize(twips::toPixels(WidthTwips, HeightTwips));

    auto* picture = new QWidget(this);
    picture->setObjectName(QStringLiteral("picture"));
    picture->setGeometry(twips::toPixels(120, 120, 4575, 3180));
    picture->setAutoFillBackground(true);
    QPalette picturePalette = picture->palette();
    picturePalette.setColor(QPalette::Window, PictureColour);
    picture->setPalette(picturePalette);

    auto* heading = new QLabel(QStringLiteral("Let me tell you ..."), picture);
    heading->setObjectName(QStringLiteral("headingLabel"));
    heading->setFont(designFont(QStringLiteral("Arial"), 12, true));
    QPalette headingPalette = heading->palette();
    headingPalette.setColor(QPalette::WindowText, HeadingColour);
    heading->setPalette(headingPalette);
    heading->setGeometry(twips::toPixels(180, 120, 4215, 480));

    m_tipText = new QLabel(picture);
    m_tipText->setObjectName(QStringLiteral("tipLabel"));
    m_tipText->setFont(designFont(QStringLiteral("Arial"), 10));
    m_tipText->setTextFormat(Qt::PlainText); // a tip is shown as written, never as markup
    // A tip that names a command or a path can be selected and copied.
    m_tipText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_tipText->setWordWrap(true);
    m_tipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_tipText->setMargin(twips::toPixelsX(90));
    m_tipText->setAutoFillBackground(true);
    m_tipText->setFrameShape(QFrame::Panel);
    m_tipText->setFrameShadow(QFrame::Sunken);
    QPalette textPalette = m_tipText->palette();
    textPalette.setColor(QPalette::Window, Qt::white);
    textPalette.setColor(QPalette::WindowText, Qt::black);
    m_tipText->setPalette(textPalette);
    m_tipText->setGeometry(twips::toPixels(180, 720, 4215, 2280));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(twips::toPixels(4875, 120, 1215, 375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &TipWindow::close);

    // Not an automatic default: with the focus on it, Enter still closes the window.
    auto* next = new QPushButton(QStringLiteral("&Next Tip"), this);
    next->setObjectName(QStringLiteral("nextTipButton"));
    next->setGeometry(twips::toPixels(4875, 600, 1215, 375));
    next->setAutoDefault(false);
    connect(next, &QPushButton::clicked, this, &TipWindow::showNextTip);

    setTabOrder(ok, next);
    ok->setFocus();
}

void TipWindow::load()
{
    std::optional<QStringList> tips = TipsFile::read(m_session.programFile(ProgramFiles::Tips));
    if (!tips) {
        m_tipText->setText(QStringLiteral("There is some problem with Tip of the Day"));
        return;
    }
    m_tips = std::move(*tips);
    showNextTip();
}

void TipWindow::showNextTip()
{
    m_current += 1;
    if (m_tips.size() < m_current)
        m_current = 1;
    if (!m_tips.isEmpty())
        m_tipText->setText(m_tips.at(m_current - 1));
}

void TipWindow::done(int result)
{
    // The dialog's own ending hides the window without a close handler; closing instead unloads it.
    setResult(result);
    close();
}

void TipWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit unloaded();
}

} // namespace trovix
