#include "categorytraits.h"

#include "shell/module1.h"
#include "store/catalog.h"

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
            rule("TreeView1", Width, 2775), rule("TreeView1", Height, 4450),      rule("Label1", Left, 4845),
            rule("Label1", Top, 240),       rule(f.heading, Left, f.headingLeft), rule(f.heading, Top, 1080),
    };
    rules += afterHeading;
    rules += {
            rule("Frame1", Width, 3525),
            rule("Frame1", Height, f.frameHeight),
            rule("Frame1", Left, 3400),
            rule("Frame1", Top, f.frameTop),
    };
    rules += afterFrameTop;
    rules += {
            rule("Text1(0)", Width, 2750),
            rule("Text1(1)", Height, 700),
            // Divided by the design height, though it is a width.
            rule("Text1(1)", Width, 1200, DesignHeight),
    };
    rules += afterPath;
    rules << rule("Command1", Left, f.browseLeft);
    return rules;
}

const QList<ToolbarButtonDesign> EntryToolbar = {
        {"Save", "save"},     {"Cancel", "cancel"}, {"New", "new"},
        {"Modify", "modify"}, {"Delete", "delete"}, {"Help", "help"},
};

const QString ExecutableFilter = QStringLiteral("Executable Files|*.exe|All Files|*.*");
const QString FileNotFound = QStringLiteral("File not found");
const QString NotAnExecutable = QStringLiteral("Not a valid executable file");

// The details frame of a window with a name and a path; the frame itself is placed by each window.
QList<Placement> twoFieldLayout(int frameLeft, int frameTop, int frameWidth, int frameHeight, int headingLeft,
                                int headingTop, int headingWidth, int headingHeight)
{
    return {
            {"Label1", 4845, 240, 735, 435},   {"Frame1", frameLeft, frameTop, frameWidth, frameHeight},
            {"Label2(0)", 120, 360, 495, 195}, {"Text1(0)", 720, 240, 2655, 285},
            {"Label2(1)", 120, 720, 405, 195}, {"Text1(1)", 720, 600, 1695, 680},
            {"Command1", 2520, 905, 855, 375}, {"Label3", headingLeft, headingTop, headingWidth, headingHeight},
    };
}

} // namespace

const CategoryTraits& softwares()
{
    static const CategoryTraits traits{
            {Catalog::Softwares,
             QStringLiteral("Softwares"),
             Catalog::Softwares,
             QStringLiteral("SOFTWARES"),
             QStringLiteral("sof"),
             QStringLiteral("S"),
             3,
             EntryToolbar,
             {{"mnugames", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
              {"mnuwindowssoftwares", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
              {"mnudocuments", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
              {"mnureminders", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules(
                     {"Label3(0)", 4625, 2200, 2230, 2550},
                     {rule("Label3(1)", Left, 3490), rule("Label3(1)", Top, 1560), rule("Label3(1)", Width, 3495)},
                     {rule("Label2(2)", Top, 1325)},
                     {rule("Text1(2)", Height, 525), rule("Text1(2)", Width, 2700), rule("Text1(2)", Top, 1550)})},
            QStringLiteral("software"),
            true,
            QStringLiteral("Softwares"),
            QStringLiteral("Softwares"),
            LaunchKind::Shell,
            ExecutableFilter,
            FileNotFound,
            NotAnExecutable,
            QStringLiteral("Problem in path of the Software"),
            {
                    {"Label1", 4845, 240, 735, 435},
                    {"Frame1", 3480, 2040, 3495, 2055},
                    {"Label2(0)", 120, 360, 495, 195},
                    {"Text1(0)", 720, 240, 2655, 285},
                    {"Label2(1)", 120, 840, 405, 195},
                    {"Text1(1)", 720, 600, 1695, 525},
                    {"Command1", 2520, 720, 855, 375},
                    {"Label2(2)", 120, 1200, 975, 195},
                    {"Text1(2)", 720, 1440, 2655, 525},
                    {"Label3(0)", 4515, 1080, 1425, 330},
                    {"Label3(1)", 5190, 1560, 75, 240},
            },
    };
    return traits;
}

const CategoryTraits& games()
{
    static const CategoryTraits traits{
            {Catalog::Games,
             QStringLiteral("Games"),
             Catalog::Games,
             QStringLiteral("GAMES"),
             QStringLiteral("gam"),
             QStringLiteral("G"),
             2,
             EntryToolbar,
             {{"mnusoftwares", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
              {"mnuwindowsoftwares", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
              {"mnudocuments", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
              {"mnureminders", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"Label3", 4750, 1495, 2900, 2550}, {}, {}, {})},
            QStringLiteral("game"),
            false,
            QStringLiteral("Games"),
            QStringLiteral("Games"),
            LaunchKind::Shell,
            ExecutableFilter,
            FileNotFound,
            NotAnExecutable,
            QStringLiteral("Problem in path of the Game"),
            twoFieldLayout(3480, 2640, 3495, 1455, 4725, 1080, 1005, 330),
    };
    return traits;
}

const CategoryTraits& windows()
{
    static const CategoryTraits traits{
            {Catalog::Windows,
             QStringLiteral("Windows Softwares"),
             Catalog::Windows,
             QStringLiteral("WINDOWS SOFTWARES"),
             QStringLiteral("win"),
             QStringLiteral("W"),
             4,
             EntryToolbar,
             {{"mnugames", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
              {"mnusoftwares", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
              {"mnudocuments", "&Documents", Qt::CTRL | Qt::Key_D, ChildWindow::Documents},
              {"mnureminder", "&Reminder", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"Label3", 3500, 1460, 2930, 2520}, {rule("Label3", Width, 3465)}, {}, {})},
            QStringLiteral("window"),
            false,
            QStringLiteral("Windows Softwares"),
            QStringLiteral("WINDOWS SOFTWARES"),
            LaunchKind::CommandLine,
            ExecutableFilter,
            FileNotFound,
            NotAnExecutable,
            QStringLiteral("Problem in path of the Windows Software"),
            twoFieldLayout(3480, 2640, 3495, 1455, 3480, 1080, 3495, 375),
    };
    return traits;
}

const CategoryTraits& documents()
{
    static const CategoryTraits traits{
            {Catalog::Documents,
             QStringLiteral("Documents"),
             Catalog::Documents,
             Catalog::DocumentsApplicationRow,
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
             {{"mnugames", "&Games", Qt::CTRL | Qt::Key_G, ChildWindow::Games},
              {"mnusoftwares", "&Softwares", Qt::CTRL | Qt::Key_T, ChildWindow::Softwares},
              {"mnuwindowsoftwares", "&Windows Softwares", Qt::CTRL | Qt::Key_W, ChildWindow::Windows},
              {"mnureminders", "&Reminders", Qt::CTRL | Qt::Key_R, ChildWindow::Reminders}},
             categoryRules({"Label3", 4600, 1495, 2900, 2550}, {}, {}, {})
                     + QList<Statement>{rule("Frame2", Width, 3500), rule("Frame2", Height, 1100),
                                        rule("Frame2", Left, 3480), rule("Frame2", Top, 1440),
                                        rule("Text2", Width, 1700), rule("Text2", Height, 735),
                                        rule("Command2", Left, 2550), rule("Label4", Left, 2760)}},
            QStringLiteral("document"),
            false,
            QStringLiteral("Documents"),
            QStringLiteral("Documents"),
            LaunchKind::Application,
            QStringLiteral("Text Files *.doc,*.txt|*.doc;*.txt|All Files|*.*"),
            QStringLiteral("Check Application Path"),
            NotAnExecutable,
            QStringLiteral("Problem in path of the Document"),
            twoFieldLayout(3480, 2640, 3495, 1455, 4425, 1080, 1605, 330)
                    + QList<Placement>{
                            {"Frame2", 3480, 1440, 3495, 1095},
                            {"Label2(2)", 120, 240, 405, 195},
                            {"Text2", 720, 240, 1695, 735},
                            {"Command2", 2520, 240, 855, 375},
                            {"Label4", 2760, 720, 375, 195},
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
