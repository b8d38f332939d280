// The file-open dialog: how a filter text becomes its choices, and what the
// dialog lists and returns for them.
#include "platform/filedialog.h"

#include <QAbstractProxyModel>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace trovix;
using Choices = QList<FileDialog::FilterChoice>;

namespace {

constexpr QFileDevice::Permissions Plain =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
constexpr QFileDevice::Permissions Program =
        Plain | QFileDevice::ExeOwner | QFileDevice::ExeGroup | QFileDevice::ExeOther;

void makeFile(const QDir& folder, const QString& name, QFileDevice::Permissions permissions)
{
    QFile file(folder.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QVERIFY(file.setPermissions(permissions));
}

QFileDialog* openDialog()
{
    if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
        return dialog;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* dialog = qobject_cast<QFileDialog*>(widget); dialog && dialog->isVisible())
            return dialog;
    }
    return nullptr;
}

// What the view lists in the dialog's folder, as the user reads it.
QStringList shownNames(const QFileDialog* dialog)
{
    const QAbstractProxyModel* proxy = dialog->proxyModel();
    const auto* files = proxy ? qobject_cast<const QFileSystemModel*>(proxy->sourceModel()) : nullptr;
    if (!files)
        return {QStringLiteral("<no proxy over the file system model>")};
    const QModelIndex folder = proxy->mapFromSource(files->index(dialog->directory().absolutePath()));
    QStringList names;
    for (int row = 0; row < proxy->rowCount(folder); ++row)
        names.append(proxy->index(row, 0, folder).data().toString());
    names.sort();
    return names;
}

QStringList sorted(QStringList names)
{
    names.sort();
    return names;
}

} // namespace

class FileDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void parseFilter_data();
    void parseFilter();
    void dialog_data();
    void dialog();
};

void FileDialogTest::initTestCase()
{
    // The dialog keeps its state in the user's settings when it closes.
    QStandardPaths::setTestModeEnabled(true);
}

void FileDialogTest::parseFilter_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<Choices>("expected");

    const FileDialog::FilterChoice all{QStringLiteral("All Files"), {QStringLiteral("*.*")}};
    QTest::newRow("programs") << QStringLiteral("Executable Files|*.exe|All Files|*.*")
                              << Choices{{QStringLiteral("Executable Files"), {QStringLiteral("*.exe")}}, all};
    QTest::newRow("documents") << QStringLiteral("Text Files *.doc,*.txt|*.doc;*.txt|All Files|*.*")
                               << Choices{{QStringLiteral("Text Files *.doc,*.txt"),
                                           {QStringLiteral("*.doc"), QStringLiteral("*.txt")}},
                                          all};
    QTest::newRow("empty") << QString() << Choices{};
    QTest::newRow("separators only") << QStringLiteral("|||") << Choices{};
    QTest::newRow("description only") << QStringLiteral("All Files") << Choices{};
    QTest::newRow("trailing description") << QStringLiteral("Executable Files|*.exe|All Files")
                                          << Choices{{QStringLiteral("Executable Files"), {QStringLiteral("*.exe")}}};
    QTest::newRow("blanks around patterns")
            << QStringLiteral("Text Files| *.doc ;  *.txt |All Files|*.*")
            << Choices{{QStringLiteral("Text Files"), {QStringLiteral("*.doc"), QStringLiteral("*.txt")}}, all};
    QTest::newRow("empty pieces") << QStringLiteral("Text Files|*.doc;;*.txt;|||All Files|*.*")
                                  << Choices{{QStringLiteral("Text Files"),
                                              {QStringLiteral("*.doc"), QStringLiteral("*.txt")}},
                                             all};
    QTest::newRow("blank patterns") << QStringLiteral("None| ; |All Files|*.*") << Choices{all};
    QTest::newRow("no description") << QStringLiteral("|*.txt") << Choices{{QString(), {QStringLiteral("*.txt")}}};
}

void FileDialogTest::parseFilter()
{
    QFETCH(QString, filter);
    QFETCH(Choices, expected);
    QCOMPARE(FileDialog::parseFilter(filter), expected);
}

void FileDialogTest::dialog_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QStringList>("descriptions");
    QTest::addColumn<QStringList>("firstShown"); // under the first choice
    QTest::addColumn<QStringList>("lastShown");  // under the last choice
    QTest::addColumn<QString>("chosen");         // accepted file, or none to cancel

    // The hidden program never shows; "readme" has no extension at all.
    const QStringList everything{"SETUP.EXE", "notes.txt", "readme", "run.sh", "sub", "tool.exe"};
    const QStringList programs{"SETUP.EXE", "run.sh", "sub", "tool.exe"};

    QTest::newRow("programs") << QStringLiteral("Executable Files|*.exe|All Files|*.*")
                              << QStringList{"Executable Files", "All Files"} << programs << everything
                              << QStringLiteral("run.sh");
    QTest::newRow("documents cancelled") << QStringLiteral("Text Files *.doc,*.txt|*.doc;*.txt|All Files|*.*")
                                         << QStringList{"Text Files *.doc,*.txt", "All Files"}
                                         << QStringList{"notes.txt", "sub"} << everything << QString();
    QTest::newRow("programs among patterns") << QStringLiteral("Notes and programs| *.txt ; *.exe |Scripts|*.sh")
                                             << QStringList{"Notes and programs", "Scripts"}
                                             << QStringList{"SETUP.EXE", "notes.txt", "run.sh", "sub", "tool.exe"}
                                             << QStringList{"run.sh", "sub"} << QStringLiteral("tool.exe");
    // Without choices the dialog offers its own catch-all.
    QTest::newRow("no choices") << QString() << QStringList{"All Files"} << everything << everything
                                << QStringLiteral("readme");
}

void FileDialogTest::dialog()
{
    QFETCH(QString, filter);
    QFETCH(QStringList, descriptions);
    QFETCH(QStringList, firstShown);
    QFETCH(QStringList, lastShown);
    QFETCH(QString, chosen);

    QTemporaryDir temporary;
    QVERIFY(temporary.isValid());
    const QDir folder(temporary.path());
    makeFile(folder, QStringLiteral("run.sh"), Program);
    makeFile(folder, QStringLiteral(".hidden.sh"), Program);
    makeFile(folder, QStringLiteral("notes.txt"), Plain);
    makeFile(folder, QStringLiteral("readme"), Plain);
    makeFile(folder, QStringLiteral("tool.exe"), Plain);
    makeFile(folder, QStringLiteral("SETUP.EXE"), Plain);
    QVERIFY(folder.mkdir(QStringLiteral("sub")));
    QVERIFY(!QFileInfo(folder.filePath(QStringLiteral("tool.exe"))).isExecutable());

    bool seen = false;
    QTimer::singleShot(0, this, [&] {
        QFileDialog* dialog = nullptr;
        QTRY_VERIFY(dialog = openDialog());
        seen = true;
        // Any failure below still closes the dialog, or the test would hang.
        const auto look = [&] {
            auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
            QVERIFY(combo);
            QStringList shown;
            for (int i = 0; i < combo->count(); ++i)
                shown.append(combo->itemText(i));
            QCOMPARE(shown, descriptions);
            QCOMPARE(combo->currentIndex(), 0);

            dialog->setDirectory(folder.path());
            QTRY_COMPARE(shownNames(dialog), sorted(firstShown));
            QTest::keyClick(combo, Qt::Key_End);
            QTRY_COMPARE(shownNames(dialog), sorted(lastShown));
        };
        look();
        if (QTest::currentTestFailed() || chosen.isEmpty()) {
            dialog->reject();
            return;
        }
        // selectFile leaves the name box alone while it has the focus, which
        // it takes once the dialog is active.
        if (QWidget* focused = dialog->focusWidget())
            focused->clearFocus();
        dialog->selectFile(chosen);
        static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides its override
    });

    const QString result = FileDialog::getOpenFileName(nullptr, filter);
    QVERIFY(seen);
    QCOMPARE(result, chosen.isEmpty() ? QString() : folder.absoluteFilePath(chosen));
}

QTEST_MAIN(FileDialogTest)
#include "tst_filedialog.moc"
