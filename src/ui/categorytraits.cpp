#include "categorytraits.h"

#include "session.h"

namespace trovix::Categories {

namespace {

using namespace ProportionalLayout;

// What every category window recomputes on a change of size, in the order the windows run it; the
// heading, the information line and the details frame differ from window to window.
struct FrameRules
{
    const char* heading;
    double headingLeft;
    double frameHeight;
    double frameTop;
    double browseLeft;
};

QList<Statement> categoryRules(const FrameRules& f, const QList<Statement>& afterHeading,
                               const QList<Statement>& afterFrameTop, const QList<Statement>& afterPath)
{
    QList<Statement> rules = {
            rule("tree", Width, 2775),  rule("tree", Height, 4450),           rule("runLabel", Left, 4845),
            rule("runLabel", Top, 240), rule(f.heading, Left, f.headingLeft), rule(f.heading, Top, 1080),
    };
    rules += afterHeading;
    rules += {
            rule("detailsFrame", Width, 3525),
            rule("detailsFrame", Height, f.frameHeight),
            rule("detailsFrame", Left, 3400),
            rule("detailsFrame", Top, f.frameTop),
    };
    rules += afterFrameTop;
    rules += {
            rule("nameEdit", Width, 2750),
            rule("pathEdit", Height, 700),
            // Divided by the design height, though it is a width.
            rule("pathEdit", Width, 1200, DesignHeight),
    };
    rules += afterPath;
    rules << rule("browseButton", Left, f.browseLeft);
    return rules;
}

const QList<ToolbarButtonDesign> EntryToolbar = {
        {"Save", "save"},     {"Cancel", "cancel"}, {"New", "new"},
        {"Modify", "modify"}, {"Delete", "delete"}, {"Help", "help"},
};

const QString ExecutableFilter = QStringLiteral("Executable Files|*.exe|All Files|*.*");

// The details frame of a window with a name and a path; the frame itself is placed by each window.
QList<Placement> twoFieldLayout(int frameLeft, int frameTop, int frameWidth, int frameHeight, int headingLeft,
                                int headingTop, int headingWidth, int headingHeight)
{
    return {
            {"runLabel", 4845, 240, 735, 435},
            {"detailsFrame", frameLeft, frameTop, frameWidth, frameHeight},
            {"nameLabel", 120, 360, 495, 195},
            {"nameEdit", 720, 240, 2655, 285},
            {"pathLabel", 120, 720, 405, 195},
            {"pathEdit", 720, 600, 1695, 680},
            {"browseButton", 2520, 905, 855, 375},
            {"headingLabel", headingLeft, headingTop, headingWidth, headingHeight},
    };
}

} // namespace

const CategoryTraits& softwares()
{
    static const CategoryTraits traits{
            {EntryKinds::softwares().table,
             EntryKinds::softwares().title,
             EntryKinds::softwares().rootWord,
             QStringLiteral("sof"),
             QStringLiteral("S"),
             3,
             EntryToolbar,
             {{"gamesAction", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
              {"windowsAction", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
              {"documentsAction", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
              {"remindersAction", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"headingLabel", 4625, 2200, 2230, 2550},
                           {rule("descriptionLabel", Left, 3490), rule("descriptionLabel", Top, 1560),
                            rule("descriptionLabel", Width, 3495)},
                           {rule("descriptionFieldLabel", Top, 1325)},
                           {rule("descriptionEdit", Height, 525), rule("descriptionEdit", Width, 2700),
                            rule("descriptionEdit", Top, 1550)})},
            &EntryKinds::softwares(),
            QStringLiteral("Softwares"),
            QStringLiteral("Softwares"),
            ExecutableFilter,
            {
                    {"runLabel", 4845, 240, 735, 435},
                    {"detailsFrame", 3480, 2040, 3495, 2055},
                    {"nameLabel", 120, 360, 495, 195},
                    {"nameEdit", 720, 240, 2655, 285},
                    {"pathLabel", 120, 840, 405, 195},
                    {"pathEdit", 720, 600, 1695, 525},
                    {"browseButton", 2520, 720, 855, 375},
                    {"descriptionFieldLabel", 120, 1200, 975, 195},
                    {"descriptionEdit", 720, 1440, 2655, 525},
                    {"headingLabel", 4515, 1080, 1425, 330},
                    {"descriptionLabel", 5190, 1560, 75, 240},
            },
    };
    return traits;
}

const CategoryTraits& games()
{
    static const CategoryTraits traits{
            {EntryKinds::games().table,
             EntryKinds::games().title,
             EntryKinds::games().rootWord,
             QStringLiteral("gam"),
             QStringLiteral("G"),
             2,
             EntryToolbar,
             {{"softwaresAction", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
              {"windowsAction", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
              {"documentsAction", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
              {"remindersAction", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"headingLabel", 4750, 1495, 2900, 2550}, {}, {}, {})},
            &EntryKinds::games(),
            QStringLiteral("Games"),
            QStringLiteral("Games"),
            ExecutableFilter,
            twoFieldLayout(3480, 2640, 3495, 1455, 4725, 1080, 1005, 330),
    };
    return traits;
}

const CategoryTraits& windows()
{
    static const CategoryTraits traits{
            {EntryKinds::windows().table,
             EntryKinds::windows().title,
             EntryKinds::windows().rootWord,
             QStringLiteral("win"),
             QStringLiteral("W"),
             4,
             EntryToolbar,
             {{"gamesAction", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
              {"softwaresAction", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
              {"documentsAction", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
              {"remindersAction", "&Reminder", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"headingLabel", 3500, 1460, 2930, 2520}, {rule("headingLabel", Width, 3465)}, {}, {})},
            &EntryKinds::windows(),
            QStringLiteral("Windows Softwares"),
            QStringLiteral("WINDOWS SOFTWARES"),
            ExecutableFilter,
            twoFieldLayout(3480, 2640, 3495, 1455, 3480, 1080, 3495, 375),
    };
    return traits;
}

const CategoryTraits& documents()
{
    static const CategoryTraits traits{
            {EntryKinds::documents().table,
             EntryKinds::documents().title,
             EntryKinds::documents().rootWord,
             QStringLiteral("doc"),
             QStringLiteral("D"),
             5,
             {{"Save", "save"},
              {"Cancel", "cancel"},
              {"New", "new"},
              {"Modify", "modify"},
              {"Delete", "delete"},
              {"Set Ap", "setpath"},
              {"Help", "help"}},
             {{"gamesAction", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
              {"softwaresAction", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
              {"windowsAction", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
              {"remindersAction", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"headingLabel", 4600, 1495, 2900, 2550}, {}, {}, {})
                     + QList<Statement>{rule("applicationFrame", Width, 3500), rule("applicationFrame", Height, 1100),
                                        rule("applicationFrame", Left, 3480), rule("applicationFrame", Top, 1440),
                                        rule("applicationEdit", Width, 1700), rule("applicationEdit", Height, 735),
                                        rule("applicationBrowseButton", Left, 2550), rule("setLabel", Left, 2760)}},
            &EntryKinds::documents(),
            QStringLiteral("Documents"),
            QStringLiteral("Documents"),
            QStringLiteral("Text Files *.doc,*.txt|*.doc;*.txt|All Files|*.*"),
            twoFieldLayout(3480, 2640, 3495, 1455, 4425, 1080, 1605, 330)
                    + QList<Placement>{
                            {"applicationFrame", 3480, 1440, 3495, 1095},
                            {"applicationPathLabel", 120, 240, 405, 195},
                            {"applicationEdit", 720, 240, 1695, 735},
                            {"applicationBrowseButton", 2520, 240, 855, 375},
                            {"setLabel", 2760, 720, 375, 195},
                    },
    };
    return traits;
}

// The executable filter, for the documents window's application box.
const QString& executableFilter()
{
    return ExecutableFilter;
}

} // namespace trovix::Categories
