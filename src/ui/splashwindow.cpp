#include "splashwindow.h"

#include "core/database.h"
#include "desktop/fonts.h"
#include "desktop/windowsystem.h"
#include "session.h"
#include "twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>

#include <array>
#include <utility>

namespace trovix {

namespace {

constexpr int StepInterval = 150;
constexpr int WidthTwips = 5040;
constexpr int HeightTwips = 5415;
const QColor LetterColour(255, 192, 128);

struct LabelDesign
{
    const char* caption;
    double pointSize;
    bool italic;
    int left;
    int top;
    int height;
};

// By index; read from top to bottom the letters spell the product name.
constexpr std::array<LabelDesign, 9> LabelDesigns{{
        {"R", 36, true, 2040, 1320, 1005},
        {"O", 36, true, 1920, 2040, 1005},
        {"V", 36, true, 1680, 2760, 1005},
        {"I", 36, true, 1560, 3480, 1005},
        {"X", 36, true, 1320, 4200, 1005},
        {"T", 36, true, 2160, 480, 1005},
        {"1", 27.75, false, 3600, 3840, 765},
        {"0", 27.75, false, 4080, 4200, 765},
        {".", 36, true, 3840, 3720, 1005},
}};

// The label each animation step underlines, for steps 1 to 6.
constexpr std::array<int, 6> UnderlinedAtStep{5, 0, 1, 2, 3, 4};

const QPolygon Outline({{100, 50},
                        {200, 50},
                        {250, 100},
                        {250, 250},
                        {300, 300},
                        {300, 350},
                        {250, 300},
                        {200, 350},
                        {100, 350},
                        {50, 300},
                        {50, 100}});

} // namespace

SplashWindow::SplashWindow(Session& session)
    : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
    , m_session(session)
{
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("TROVIX"));
    setFixedSize(twips::toPixels(WidthTwips, HeightTwips));
    m_background = QPixmap(QStringLiteral(":/images/splash.svg")).scaled(size());

    for (int index = 0; index < int(LabelDesigns.size()); ++index) {
        const LabelDesign& design = LabelDesigns[index];
        auto* label = new QLabel(QString::fromLatin1(design.caption), this);
        label->setObjectName(QStringLiteral("letter%1").arg(index));
        label->setFont(designFont(QStringLiteral("Comic Sans MS"), design.pointSize, true, design.italic));
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, LetterColour);
        label->setPalette(palette);
        const QRect place = twips::toPixels(design.left, design.top, 0, design.height);
        label->setGeometry(place.x(), place.y(), label->sizeHint().width(), place.height());
        m_letters.append(label);
    }

    m_stepTimer = new QTimer(this);
    m_stepTimer->setObjectName(QStringLiteral("stepTimer"));
    m_stepTimer->setInterval(StepInterval);
    connect(m_stepTimer, &QTimer::timeout, this, &SplashWindow::step);
    m_stepTimer->start();
}

void SplashWindow::load()
{
    m_step = 1;
    WindowSystem::setPolygonRegion(this, Outline, Qt::WindingFill);
}

void SplashWindow::step()
{
    if (m_step == 1) {
        if (!openDatabase())
            return;
        setUnderline(UnderlinedAtStep[0], true);
    } else if (m_step >= 2 && m_step <= 6) {
        setUnderline(UnderlinedAtStep[size_t(m_step - 2)], false);
        setUnderline(UnderlinedAtStep[size_t(m_step - 1)], true);
    } else if (m_step == 7) {
        showMainAndClose();
        return;
    }
    ++m_step;
}

bool SplashWindow::openDatabase()
{
    try {
        m_session.openDatabase();
        return true;
    } catch (const DatabaseError& error) {
        m_stepTimer->stop();
        m_waiting = false;
        m_session.startupFailed(error);
        return false;
    }
}

void SplashWindow::setUnderline(int index, bool on)
{
    QFont font = m_letters[index]->font();
    font.setUnderline(on);
    m_letters[index]->setFont(font);
}

void SplashWindow::showMainAndClose()
{
    m_waiting = false;
    m_session.showMainWindow();
    close();
}

void SplashWindow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_background.isNull()) {
        painter.drawPixmap(0, 0, m_background);
        return;
    }
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(40, 30, 110));
    gradient.setColorAt(1, QColor(10, 10, 40));
    painter.fillRect(rect(), gradient);
}

void SplashWindow::mouseReleaseEvent(QMouseEvent* event)
{
    // Only the window's own surface ends the splash, not its letters.
    if (event->button() != Qt::LeftButton || childAt(event->position().toPoint()))
        return;
    if (m_step == 1 && !openDatabase())
        return;
    showMainAndClose();
}

void SplashWindow::closeEvent(QCloseEvent* event)
{
    m_stepTimer->stop();
    event->accept();
    emit unloaded();
    // Closed by the window manager while waiting: the wait ends at once. Without the database there is
    // nothing to show and the program ends; with it the main window shows, as at the seventh step.
    if (std::exchange(m_waiting, false)) {
        if (m_session.mainWindowIfLoaded())
            m_session.showMainWindow();
        else
            m_session.endProgram(0);
    }
}

} // namespace trovix
