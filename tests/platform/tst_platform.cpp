// The platform services without a bus: the autostart entry, focus and windows, the help window,
// the balloon's close button and the boxes nobody can see.
#include "ConfigHome.h"
#include "FieldFocus.h"
#include "HtmlHelpViewer.h"
#include "MessageBoxDialogs.h"
#include "SystemTrayIcon.h"
#include "ToolWindow.h"
#include "XdgAutostart.h"

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void autostartRunsTheInstalledEntry_data();
    void autostartRunsTheInstalledEntry();
    void fieldSelectsItsTextOnFocus_data();
    void fieldSelectsItsTextOnFocus();
    void toolWindowClosesWithEscAndIsAWindow();
    void helpIsAWindowThatClosesWithEsc();
    void balloonCloseButtonIsNamed();
    void autostartEntryThatCannotBeWrittenIsNamed();
    void errorsNoOneCanSeeGoToTheErrorOutput_data();
    void errorsNoOneCanSeeGoToTheErrorOutput();
};

void TestPlatform::autostartRunsTheInstalledEntry_data() {
    QTest::addColumn<QByteArray>("installedEntry"); // null: the program is not installed
    QTest::addColumn<QString>("exec");              // empty: the program file's full path, quoted
    QTest::newRow("installed") << QByteArray("[Desktop Entry]\nType=Application\nName=Quendra\nExec=quendra\nIcon=q\n")
                               << u"quendra"_qs;
    QTest::newRow("blanks around the sign, other group first")
        << QByteArray("[Desktop Action neu]\nExec=other\n\n[Desktop Entry]\nName=Quendra\nExec = quendra --x \n")
        << u"quendra --x"_qs;
    QTest::newRow("not installed") << QByteArray() << QString();
    QTest::newRow("entry without Exec") << QByteArray("[Desktop Entry]\nName=Quendra\nTryExec=quendra\n") << QString();
    QTest::newRow("Exec only in another group")
        << QByteArray("[Desktop Entry]\nName=Quendra\n[Desktop Action neu]\nExec=quendra --neu\n") << QString();
    QTest::newRow("empty Exec") << QByteArray("[Desktop Entry]\nName=Quendra\nExec=\n") << QString();
    QTest::newRow("far larger than any desktop entry")
        << QByteArray("[Desktop Entry]\nExec=quendra\n") + QByteArray(1 << 20, '#') << QString();
}

void TestPlatform::autostartRunsTheInstalledEntry() {
    QFETCH(QByteArray, installedEntry);
    QFETCH(QString, exec);

    // <tree>/bin/quendra with, when installed, <tree>/share/applications/de.quendra.Quendra.desktop.
    QTemporaryDir tree;
    QVERIFY(QDir(tree.path()).mkpath(u"bin"_qs));
    const QString program = tree.filePath(u"bin/quendra"_qs);
    if (!installedEntry.isNull()) {
        QVERIFY(QDir(tree.path()).mkpath(u"share/applications"_qs));
        QFile entry(tree.filePath(u"share/applications/de.quendra.Quendra.desktop"_qs));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write(installedEntry);
    }
    QTemporaryDir config;
    const ConfigHome home(config.path());

    XdgAutostart autostart;
    QVERIFY2(autostart.enable(program), qPrintable(autostart.errorString()));
    QFile written(XdgAutostart::entryPath());
    QVERIFY(written.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(written.readAll()).split(u'\n');
    const QStringList execLines = lines.filter(QRegularExpression(u"^Exec="_qs));
    QCOMPARE(execLines, QStringList{u"Exec="_qs + (exec.isEmpty() ? u'"' + program + u'"' : exec)});
}

void TestPlatform::fieldSelectsItsTextOnFocus_data() {
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("selected");
    const QString all = u"0.0.0.0"_qs;
    QTest::newRow("Tab") << u"tab"_qs << all;
    QTest::newRow("Shift+Tab") << u"backtab"_qs << all;
    QTest::newRow("click") << u"click"_qs << all;
    QTest::newRow("put there by the program") << u"program"_qs << all;
    // The user's own choices stay.
    QTest::newRow("click into the field that has the focus") << u"click again"_qs << QString();
    QTest::newRow("drag a selection") << u"drag"_qs << u"0.0"_qs;
    QTest::newRow("back from another window") << u"window"_qs << QString();
}

// A field holding one value offers it whole to be typed over when it gets the focus from the
// keyboard, a click or the program.
void TestPlatform::fieldSelectsItsTextOnFocus() {
    QFETCH(QString, how);
    QFETCH(QString, selected);
    QWidget window;
    auto *before = new QLineEdit(&window);
    auto *field = new QLineEdit(u"0.0.0.0"_qs, &window);
    auto *after = new QLineEdit(&window);
    auto *layout = new QVBoxLayout(&window);
    for (QLineEdit *edit : {before, field, after})
        layout->addWidget(edit);
    FieldFocus::selectAllOnFocus(field);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    before->setFocus();
    const QPoint start(field->fontMetrics().horizontalAdvance(u' ') / 2 + 2, field->height() / 2);
    if (how == u"tab"_qs) {
        QTest::keyClick(before, Qt::Key_Tab);
    } else if (how == u"backtab"_qs) {
        after->setFocus();
        QTest::keyClick(after, Qt::Key_Backtab, Qt::ShiftModifier);
    } else if (how == u"click"_qs) {
        QTest::mouseClick(field, Qt::LeftButton, {}, start);
    } else if (how == u"program"_qs) {
        field->setFocus(Qt::OtherFocusReason);
    } else if (how == u"click again"_qs) {
        field->setFocus(Qt::OtherFocusReason);
        QTest::mouseClick(field, Qt::LeftButton, {}, start);
    } else if (how == u"drag"_qs) {
        // From before the first character to after the third.
        const auto at = [field](int position) {
            int x = 0;
            while (x < field->width() && field->cursorPositionAt(QPoint(x, field->height() / 2)) < position)
                ++x;
            return QPoint(x, field->height() / 2);
        };
        const QPoint from = at(0);
        const QPoint to = at(3);
        QTest::mousePress(field, Qt::LeftButton, {}, from);
        QTest::mouseMove(field, to);
        QTest::mouseRelease(field, Qt::LeftButton, {}, to);
    } else if (how == u"window"_qs) {
        field->setFocus(Qt::OtherFocusReason);
        field->deselect();
        QFocusEvent back(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
        QCoreApplication::sendEvent(field, &back);
    }
    QVERIFY(field->hasFocus());
    QCOMPARE(field->selectedText(), selected);
}

// A tool window closes with Esc, also while a text inside it has the focus, and screen readers
// meet it as a window; other widgets are described as before.
void TestPlatform::toolWindowClosesWithEscAndIsAWindow() {
    QWidget owner;
    auto *tool = new QWidget(&owner, Qt::Tool);
    tool->setWindowTitle(u"Quendra Tools"_qs);
    auto *text = new QPlainTextEdit(tool);
    (new QVBoxLayout(tool))->addWidget(text);
    ToolWindow::setUp(tool);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(tool);
    QCOMPARE(accessible->role(), QAccessible::Window);
    QCOMPARE(accessible->text(QAccessible::Name), u"Quendra Tools"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(text)->role(), QAccessible::EditableText);
    QWidget plain;
    QCOMPARE(QAccessible::queryAccessibleInterface(&plain)->role(), QAccessible::Client);

    owner.show();
    tool->show();
    tool->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(tool));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    QVERIFY(!tool->isVisible());
    QVERIFY(owner.isVisible());
}

// The help is a window holding its text: announced as a window, read as a text, closed with Esc.
void TestPlatform::helpIsAWindowThatClosesWithEsc() {
    QTemporaryDir dir;
    const QString file = dir.filePath(u"quendra.html"_qs);
    QFile html(file);
    QVERIFY(html.open(QIODevice::WriteOnly));
    html.write("<html><body><h1 id=\"context1\">Hauptfenster</h1><p>Hilfe zum Hauptfenster</p></body></html>");
    html.close();
    HtmlHelpViewer viewer;
    viewer.showContext(file, 1);
    QPointer<QWidget> window;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == u"helpWindow"_qs)
            window = w;
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->windowTitle(), u"Quendra - Hilfe"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(window)->role(), QAccessible::Window);
    auto *text = window->findChild<QTextBrowser *>(u"helpText"_qs);
    QVERIFY(text);
    QVERIFY(text->toPlainText().contains(u"Hilfe zum Hauptfenster"_qs));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(text, Qt::Key_Escape);
    QTRY_VERIFY(!window); // closed, and gone with its text
}

// Qt's own balloon shows its close button as a cross only; screen readers get its name.
void TestPlatform::balloonCloseButtonIsNamed() {
    QWidget balloon;
    auto *close = new QPushButton(&balloon);
    close->setIcon(balloon.style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    auto *captioned = new QPushButton(u"OK"_qs, &balloon);
    SystemTrayIcon::nameBalloonButtons(&balloon);
    QCOMPARE(close->accessibleName(), u"Schließen"_qs);
    QCOMPARE(QAccessible::queryAccessibleInterface(close)->text(QAccessible::Name), u"Schließen"_qs);
    QVERIFY(captioned->accessibleName().isEmpty());
}

// A folder in the entry's place: nothing is written or left beside it, and the message names it.
void TestPlatform::autostartEntryThatCannotBeWrittenIsNamed() {
    QTemporaryDir config;
    const ConfigHome home(config.path());
    QVERIFY(QDir().mkpath(XdgAutostart::entryPath()));
    XdgAutostart autostart;
    QVERIFY(!autostart.enable(u"/usr/bin/quendra"_qs));
    QVERIFY2(autostart.errorString().contains(XdgAutostart::entryPath()), qPrintable(autostart.errorString()));
    QCOMPARE(QDir(config.filePath(u"autostart"_qs)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             QStringList{u"quendra.desktop"_qs});
}

// Once the program is ending, an error box open then, or one that comes later, has no one to read
// it: its text goes to the error output, line breaks as lines. Other boxes leave no text there.
void TestPlatform::errorsNoOneCanSeeGoToTheErrorOutput_data() {
    QTest::addColumn<bool>("openWhenClosing");
    QTest::newRow("shown after the end began") << false;
    QTest::newRow("open when the end began") << true;
}

void TestPlatform::errorsNoOneCanSeeGoToTheErrorOutput() {
    QFETCH(bool, openWhenClosing);
    std::unique_ptr<std::FILE, decltype(&std::fclose)> output(std::tmpfile(), &std::fclose);
    QVERIFY(output);
    MessageBoxDialogs dialogs(output.get());
    const QString text = u"Die Datei \"/x/quendra.ini\" kann nicht geschrieben werden:\rKein Platz"_qs;
    if (openWhenClosing) {
        QTimer::singleShot(0, [&dialogs] { dialogs.closeAll(); });
        dialogs.error(text); // returns when closeAll() closed it
    } else {
        dialogs.closeAll();
        dialogs.error(text);
    }
    dialogs.information(u"Info"_qs);
    QVERIFY(!dialogs.confirm(u"Frage?"_qs));
    std::rewind(output.get());
    QByteArray written(4096, '\0');
    written.truncate(qsizetype(std::fread(written.data(), 1, size_t(written.size()), output.get())));
    QCOMPARE(QString::fromLocal8Bit(written),
             u"Die Datei \"/x/quendra.ini\" kann nicht geschrieben werden:\nKein Platz\n"_qs);
}

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"
