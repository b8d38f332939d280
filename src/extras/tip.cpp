#include "tip.h"

#include "extras/tipsfile.h"
#include "platform/fonts.h"
#include "platform/twips.h"
#include "shell/module1.h"
#include "store/programfiles.h"

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

Tip::Tip(Module1& module)
    : m_module(module)
{
    setObjectName(QStringLiteral("Tip"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Tip of the Day"));
    setFixedSize(twips::toPixels(WidthTwips, HeightTwips));

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twips::toPixels(120, 120, 4575, 3180));
    Picture1->setAutoFillBackground(true);
    QPalette picturePalette = Picture1->palette();
    picturePalette.setColor(QPalette::Window, PictureColour);
    Picture1->setPalette(picturePalette);

    Label1 = new QLabel(QStringLiteral("Let me tell you ..."), Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setFont(designFont(QStringLiteral("Arial"), 12, true));
    QPalette headingPalette = Label1->palette();
    headingPalette.setColor(QPalette::WindowText, HeadingColour);
    Label1->setPalette(headingPalette);
    Label1->setGeometry(twips::toPixels(180, 120, 4215, 480));

    lblTipText = new QLabel(Picture1);
    lblTipText->setObjectName(QStringLiteral("lblTipText"));
    lblTipText->setFont(designFont(QStringLiteral("Arial"), 10));
    lblTipText->setTextFormat(Qt::PlainText); // a tip is shown as written, never as markup
    // A tip that names a command or a path can be selected and copied.
    lblTipText->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    lblTipText->setMargin(twips::toPixelsX(90));
    lblTipText->setAutoFillBackground(true);
    lblTipText->setFrameShape(QFrame::Panel);
    lblTipText->setFrameShadow(QFrame::Sunken);
    QPalette textPalette = lblTipText->palette();
    textPalette.setColor(QPalette::Window, Qt::white);
    textPalette.setColor(QPalette::WindowText, Qt::black);
    lblTipText->setPalette(textPalette);
    lblTipText->setGeometry(twips::toPixels(180, 720, 4215, 2280));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips::toPixels(4875, 120, 1215, 375));
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, &Tip::cmdOK_Click);

    // Not an automatic default: with the focus on it, Enter still closes the window.
    cmdNextTip = new QPushButton(QStringLiteral("&Next Tip"), this);
    cmdNextTip->setObjectName(QStringLiteral("cmdNextTip"));
    cmdNextTip->setGeometry(twips::toPixels(4875, 600, 1215, 375));
    cmdNextTip->setAutoDefault(false);
    connect(cmdNextTip, &QPushButton::clicked, this, &Tip::cmdNextTip_Click);

    setTabOrder(cmdOK, cmdNextTip);
    cmdOK->setFocus();
}

void Tip::Form_Load()
{
    const QString fileName = m_module.programFile(ProgramFiles::Tips);
    if (!LoadTips(fileName))
        lblTipText->setText(QStringLiteral("There is some problem with Tip of the Day"));
}

bool Tip::LoadTips(const QString& fileName)
{
    if (fileName.isEmpty())
        return false;
    std::optional<QStringList> tips = TipsFile::read(fileName);
    if (!tips)
        return false;
    tipList = std::move(*tips);
    ShowNextTip();
    return true;
}

void Tip::ShowNextTip()
{
    currentTip += 1;
    if (tipList.size() < currentTip)
        currentTip = 1;
    DisplayCurrentTip();
}

void Tip::DisplayCurrentTip()
{
    if (!tipList.isEmpty())
        lblTipText->setText(tipList.at(currentTip - 1));
}

void Tip::cmdNextTip_Click()
{
    ShowNextTip();
}

void Tip::cmdOK_Click()
{
    close();
}

void Tip::done(int result)
{
    // The dialog's own ending hides the window without a close handler; closing instead unloads it.
    setResult(result);
    close();
}

void Tip::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit unloaded();
}

} // namespace trovix
