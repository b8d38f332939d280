#include "aboutbox.h"

#include "desktop/fonts.h"
#include "twips.h"

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

AboutBox::AboutBox(Session&)
{
    setObjectName(QStringLiteral("aboutBox"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("TROVIX 1.0 by the TROVIX team"));
    setFixedSize(twips::toPixels(WidthTwips, HeightTwips));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, BackColour);
    setPalette(palette);
    m_background = QPixmap(QStringLiteral(":/images/about.svg")).scaled(size());

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("iconLabel"));
    const QRect iconPlace = twips::toPixels(360, 300, 720, 720);
    icon->setGeometry(iconPlace);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/trovix.svg")).pixmap(iconPlace.size()));

    m_title =
            makeLabel(QStringLiteral("TROVIX"), designFont(QStringLiteral("Arial"), 24, true, true), TitleColour, this);
    m_title->setObjectName(QStringLiteral("titleLabel"));
    m_title->setGeometry(twips::toPixels(1320, 180, 4200, 720));

    QLabel* version = makeLabel(QStringLiteral("Version 1.0"), designFont(QStringLiteral("Comic Sans MS"), 11.25, true),
                                TextColour, this);
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setGeometry(twips::toPixels(1320, 960, 4200, 405));

    QLabel* disclaimer = makeLabel(QStringLiteral("TROVIX is provided as it is, without warranty of any kind. Keep a "
                                                  "copy of trovix.mdb, which holds all your lists and reminders."),
                                   designFont(QStringLiteral("Comic Sans MS"), 9.75, true), TextColour, this);
    disclaimer->setObjectName(QStringLiteral("disclaimerLabel"));
    disclaimer->setWordWrap(true);
    disclaimer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    disclaimer->setGeometry(twips::toPixels(240, 2040, 4080, 1335));

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setGeometry(twips::toPixels(4560, 3000, 1215, 375));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &AboutBox::close);

    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setObjectName(QStringLiteral("blinkTimer"));
    m_blinkTimer->setInterval(BlinkInterval);
    connect(m_blinkTimer, &QTimer::timeout, this, &AboutBox::blink);
}

void AboutBox::load()
{
    m_blinkTimer->start();
}

void AboutBox::blink()
{
    QFont font = m_title->font();
    font.setUnderline(!font.underline());
    m_title->setFont(font);
}

void AboutBox::done(int result)
{
    // The dialog's own ending hides the window without a close handler; closing instead unloads it.
    setResult(result);
    close();
}

void AboutBox::paintEvent(QPaintEvent*)
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

void AboutBox::closeEvent(QCloseEvent* event)
{
    m_blinkTimer->stop();
    event->accept();
    emit unloaded();
}

} // namespace trovix
