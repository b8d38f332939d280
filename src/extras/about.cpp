#include "about.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "shell/module1.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

namespace trovix {

namespace {

constexpr int BlinkInterval = 500;
constexpr int WidthTwips = 6000;
constexpr int HeightTwips = 3600;
const QColor BackColour(192, 255, 192);
const QColor TitleColour(128, 128, 255);
const QColor TextColour(0, 0, 255);

// The etched separator: a grey line with a white one just beneath it.
constexpr int SeparatorTop = 1800;
constexpr int SeparatorLeft = 120;
constexpr int ShadowRight = 5684;
constexpr int HighlightRight = 5669;
constexpr int HighlightWidth = 2;

QLabel* makeLabel(const QString& text, const QFont& font, const QColor& colour, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
    return label;
}

} // namespace

About::About(Module1& module)
    : m_module(module)
{
    setObjectName(QStringLiteral("about"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("TROVIX 1.0 by the TROVIX team"));
    setFixedSize(twips::toPixels(WidthTwips, HeightTwips));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, BackColour);
    setPalette(palette);
    m_background = QPixmap(QStringLiteral(":/images/about.svg")).scaled(size());

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    const QRect iconPlace = twips::toPixels(360, 300, 720, 720);
    picIcon->setGeometry(iconPlace);
    picIcon->setPixmap(QIcon(QStringLiteral(":/icons/trovix.svg")).pixmap(iconPlace.size()));

    lblTitle =
            makeLabel(QStringLiteral("TROVIX"), designFont(QStringLiteral("Arial"), 24, true, true), TitleColour, this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setGeometry(twips::toPixels(1320, 180, 4200, 720));

    lblVersion = makeLabel(QStringLiteral("Version 1.0"), designFont(QStringLiteral("Comic Sans MS"), 11.25, true),
                           TextColour, this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblVersion->setGeometry(twips::toPixels(1320, 960, 4200, 405));

    lblDisclaimer = makeLabel(QStringLiteral("TROVIX is provided as it is, without warranty of any kind. Keep a "
                                             "copy of trovix.mdb, which holds all your lists and reminders."),
                              designFont(QStringLiteral("Comic Sans MS"), 9.75, true), TextColour, this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);
    lblDisclaimer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lblDisclaimer->setGeometry(twips::toPixels(240, 2040, 4080, 1335));

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(twips::toPixels(4560, 3000, 1215, 375));
    cmdOK->setDefault(true);
    cmdOK->setFocus();
    connect(cmdOK, &QPushButton::clicked, this, &About::cmdOK_Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(BlinkInterval);
    connect(Timer1, &QTimer::timeout, this, &About::Timer1_Timer);
}

void About::Form_Load()
{
    Timer1->start();
}

void About::Timer1_Timer()
{
    QFont font = lblTitle->font();
    font.setUnderline(!font.underline());
    lblTitle->setFont(font);
}

void About::cmdOK_Click()
{
    close();
}

void About::done(int result)
{
    // The dialog's own ending hides the window without a close handler; closing instead unloads it.
    setResult(result);
    close();
}

void About::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);

    const int top = twips::toPixelsY(SeparatorTop);
    const int left = twips::toPixelsX(SeparatorLeft);
    painter.setPen(QPen(QColor(128, 128, 128), 1));
    painter.drawLine(left, top, twips::toPixelsX(ShadowRight), top);
    painter.setPen(QPen(Qt::white, HighlightWidth, Qt::SolidLine, Qt::FlatCap));
    // A wide pen is centred on its line: the middle is set so that the white starts on the row below the grey.
    const double highlight = top + 1 + HighlightWidth / 2.0;
    painter.drawLine(QPointF(left, highlight), QPointF(twips::toPixelsX(HighlightRight), highlight));
}

void About::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    event->accept();
    emit unloaded();
}

} // namespace trovix
