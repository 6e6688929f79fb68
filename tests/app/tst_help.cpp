#include "AppCore.h"
#include "FakePlatform.h"
#include "HeaderPanel.h"
#include "MainWindow.h"
#include "ProgramWiring.h"
#include "SplashWindow.h"
#include "StatusBar.h"
#include "TempProgramFolder.h"
#include "WorkArea.h"

#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

namespace {
const QString kHelpSource = QStringLiteral(QUENDRA_HELP_SOURCE);
const QString kScreenshots = QStringLiteral(QUENDRA_SCREENSHOTS_DIR);
const QString kBuiltHelp = QStringLiteral(QUENDRA_HELP_DIR);

QString helpText() {
    QFile file(kHelpSource);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The headings of the help as QTextBrowser shows them (entities resolved).
QStringList headings() {
    QTextDocument document;
    document.setHtml(helpText());
    QStringList texts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() > 0)
            texts.append(block.text());
    }
    return texts;
}

// A caption as the user reads it: tabs and menus double an ampersand to show one, and a single
// one only underlines the letter after it (the Alt key's mnemonic).
QString shown(const QString &caption) {
    QString text;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size())
            ++i;
        text.append(caption.at(i));
    }
    return text;
}

QStringList tabCaptions(const QTabWidget *tabs) {
    QStringList captions;
    for (int i = 0; tabs && i < tabs->count(); ++i)
        captions.append(shown(tabs->tabText(i)));
    return captions;
}

QStringList menuBarCaptions(const QMenuBar *bar) {
    QStringList captions;
    for (const QAction *action : bar->actions()) {
        captions.append(shown(action->text()));
        if (action->menu()) {
            for (const QAction *entry : action->menu()->actions()) {
                if (!entry->isSeparator())
                    captions.append(shown(entry->text()));
            }
        }
    }
    return captions;
}

enum class Reference { Picture, Anchor };
} // namespace
Q_DECLARE_METATYPE(Reference)

// The German help covers the program: each window, tab, menu entry and panel has a section, and
// nothing the help refers to is missing.
class tst_help : public QObject {
    Q_OBJECT

private slots:
    // The captions are read from the program's own windows, so a new tab or window needs its section.
    void everyCaptionHasASection_data() {
        QTest::addColumn<QStringList>("captions");
        FakePlatform platform;
        TempProgramFolder folder;
        AppCore core(folder.paths(), platform.services(), kHelpSource);
        // The program's subsystems on the window as it is created: they add their windows and entries.
        ProgramWiring wiring(core);
        MainWindow window(core);
        wiring.attach(window);
        core.subsystems().attach(window);
        core.subsystems().started();

        QStringList windows{window.windowTitle()};
        for (const QWidget *w : window.findChildren<QWidget *>()) {
            // Menus and the lists of drop-down boxes are windows too, without a caption of their own.
            if (w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip)
                windows.append(w->windowTitle());
        }
        const SplashWindow splash;
        windows.append(splash.findChild<QProgressBar *>()->accessibleName());
        // The columns by their caption, the status bar by the name a screen reader gives its panels.
        QStringList panels{
            window.findChild<QPushButton *>(QStringLiteral("OVxmlLoadbtn"))->text(),
            window.findChild<QWidget *>(QStringLiteral("busMonitorColumn"))->findChild<QLabel *>()->text(),
            window.statusBar1()->findChild<QLabel *>()->accessibleName()};
        for (const HeaderPanel *panel : window.findChildren<HeaderPanel *>())
            panels.append(panel->caption());
        const QWidget *checker = window.findChild<QWidget *>(QStringLiteral("TForm4"));

        QTest::newRow("windows") << windows;
        QTest::newRow("panels of the main window") << panels;
        QTest::newRow("tabs of the main window") << tabCaptions(window.workTabs());
        QTest::newRow("menu bar") << menuBarCaptions(window.menuBar());
        QTest::newRow("tabs of the Webchecker")
            << tabCaptions(checker ? checker->findChild<QTabWidget *>(QStringLiteral("tabs")) : nullptr);
    }
    void everyCaptionHasASection() {
        QFETCH(QStringList, captions);
        QVERIFY(!captions.isEmpty());
        const QStringList sections = headings();
        for (const QString &caption : captions) {
            QVERIFY(!caption.isEmpty());
            const bool found = std::any_of(sections.begin(), sections.end(), [&caption](const QString &heading) {
                return heading == caption || heading.contains(u'„' + caption + u'“');
            });
            QVERIFY2(found, qPrintable(QStringLiteral("no heading names \"%1\"").arg(caption)));
        }
    }

    // Every picture is in docs/screenshots and beside the built help, with a German description;
    // every link inside the help leads to an anchor.
    void referencesResolve_data() {
        QTest::addColumn<Reference>("kind");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("eachStart");
        QTest::newRow("pictures") << Reference::Picture
                                  << QStringLiteral("<img src=\"bilder/([^\"]+)\" alt=\"[^\"]+\">")
                                  << QStringLiteral("<img");
        QTest::newRow("links") << Reference::Anchor << QStringLiteral("<a href=\"#([^\"]+)\">")
                               << QStringLiteral("<a href");
    }
    void referencesResolve() {
        QFETCH(Reference, kind);
        QFETCH(QString, pattern);
        QFETCH(QString, eachStart);
        const QString html = helpText();
        QStringList targets;
        for (const QRegularExpressionMatch &match : QRegularExpression(pattern).globalMatch(html))
            targets.append(match.captured(1));
        QVERIFY(!targets.isEmpty());
        // Written otherwise (no description, an address outside the help) it is not taken.
        QCOMPARE(targets.size(), html.count(eachStart));
        for (const QString &target : targets) {
            if (kind == Reference::Picture) {
                QVERIFY2(QFileInfo::exists(kScreenshots + u'/' + target), qPrintable(target));
                QVERIFY2(QFileInfo::exists(kBuiltHelp + QStringLiteral("/bilder/") + target), qPrintable(target));
            } else {
                QVERIFY2(html.contains(QStringLiteral("<a name=\"%1\"></a>").arg(target)), qPrintable(target));
            }
        }
    }

    // The help window opens at context 1: its anchor stands before the first heading.
    void contextOneIsTheTop() {
        const QString html = helpText();
        const qsizetype anchor = html.indexOf(QStringLiteral("<a name=\"context1\"></a>"));
        QVERIFY(anchor >= 0);
        QVERIFY(anchor < html.indexOf(QStringLiteral("<h1")));
    }
};

QTEST_MAIN(tst_help)
#include "tst_help.moc"
