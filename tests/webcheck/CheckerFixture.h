#pragma once

// The checker window with a fake browser in a program folder of its own, and what its tests do to it.
#include "FakeBrowserHost.h"
#include "FakeDialogs.h"
#include "LoopbackHttp.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "TempProgramFolder.h"
#include "WebCheckWindow.h"

#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

// The shared fake with the Yes/No/Cancel question answered from a script of its own.
class CheckerDialogs : public FakeDialogs {
public:
    // The next scripted choice; Cancel when the script is used up.
    Choice choose(const QString &text) override {
        chosen.append(text);
        return choices.isEmpty() ? Choice::Cancel : choices.takeFirst();
    }

    QStringList chosen;
    QList<Choice> choices;
};

inline const QByteArray kPage = "<html><body><h1>Wetter</h1>\n<table>\n\t<tr><td>Temperatur</td><td>21 Grad</td></tr>\n"
                                "<tr><td>Wind</td><td>12 km/h</td></tr></table><a href=\"/morgen.html\">morgen</a>";

struct Checker {
    Checker()
        : window(folder.path(), dialogs, nullptr, [this] {
              auto host = std::make_unique<FakeBrowserHost>();
              browser = host.get();
              return host;
          }) {
        window.open();
    }

    template <typename T> T *find(const char *name) {
        T *child = window.findChild<T *>(QLatin1String(name));
        if (!child)
            qFatal("no widget %s", name);
        return child;
    }
    QLineEdit *edit(const char *name) { return find<QLineEdit>(name); }
    void click(const char *name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    int rows() { return find<QAbstractItemView>("Liste")->model()->rowCount(); }
    QTabWidget *tabs() { return window.findChild<QTabWidget *>(); }
    bool tabShown(const QString &prefix) {
        for (int i = 0; i < tabs()->count(); ++i)
            if (tabs()->tabText(i).startsWith(prefix))
                return tabs()->isTabVisible(i);
        return false;
    }
    // A new project discarded on closing: the window opens again with the tab "Webabfragen prüfen".
    void discardNewProject() {
        click("neubtn");
        dialogs.choices = {Dialogs::Choice::No};
        window.close();
        window.open();
    }
    // The tab "Webabfragen prüfen" made active, as a click on it does.
    void showCheckTab() {
        QVERIFY(tabShown(u"Webabfragen"_qs));
        tabs()->setCurrentWidget(find<QWidget>("prueftab"));
    }
    void selectProject(const QString &name) {
        auto *list = find<QListWidget>("projektliste");
        const auto items = list->findItems(name, Qt::MatchExactly);
        QVERIFY(!items.isEmpty());
        list->setCurrentItem(items.first());
    }
    void fill(const QString &bez, const QString &host, const QString &site) {
        edit("WABez")->setText(bez);
        edit("WAHOST")->setText(host);
        edit("WASITE")->setText(site);
    }
    // Loads the page with "Website laden" and analyses it.
    void analyse(LoopbackHttp &http) {
        fill(u"Wetter"_qs, http.address(""), u"/wetter.html"_qs);
        click("gobrowser");
        QTRY_VERIFY(find<QPushButton>("analysebtn")->isEnabled());
        click("analysebtn");
        QTRY_COMPARE(find<QLabel>("statustext")->text(), u"Fertig!"_qs);
    }

    TempProgramFolder folder;
    CheckerDialogs dialogs;
    FakeBrowserHost *browser = nullptr;
    WebCheckWindow window;
};

inline void doubleClick(QListWidget *list, int row) {
    const QPoint at = list->visualItemRect(list->item(row)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
}

inline void writeProject(const TempProgramFolder &folder, const QString &name, int rows) {
    WebQueryProject project{u"Wetter"_qs, u"h"_qs, u"80"_qs, u"/w.html"_qs, {}};
    for (int j = 0; j < rows; ++j) {
        AnalysisEntry entry;
        entry.value = u"Wert %1"_qs.arg(j);
        entry.start = QString::number(10 * j + 1);
        entry.end = QString::number(10 * j + 5);
        entry.koName = u"KO %1"_qs.arg(j);
        project.entries.append(entry);
    }
    QString error;
    QVERIFY(ProjectFile::save(folder.path(), project, &error));
    QVERIFY(QFile::exists(folder.file(name)));
}

inline const QByteArray kFlowPage =
    "<table><tr><td>Temperatur</td><td>21</td></tr><tr><td>Zustand</td><td>Sonnig</td></tr></table>";

// The row of the analysis list whose value is `value`.
inline int rowOf(QAbstractItemView *list, const QString &value) {
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        if (model->index(row, 0).data().toString() == value)
            return row;
    return -1;
}

inline void setChecked(QAbstractItemView *list, int row) {
    list->model()->setData(list->model()->index(row, 0), Qt::Checked, Qt::CheckStateRole);
}

// A column of the analysis list's row: 0 the value, 1 the start, 2 the end, 3 to 9 fields 5 to 10.
inline QString cell(QAbstractItemView *list, int row, int column) {
    return list->model()->index(row, column).data().toString();
}
