#include "CheckTab.h"

#include "NamedWidgets.h"
#include "WebCheckTexts.h"

#include <QFileSystemModel>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTreeView>
#include <QTreeWidget>
#include <QVBoxLayout>

using namespace WebCheckTexts;
using namespace NamedWidgets;

CheckTab::CheckTab(const QString &folder, QWidget *parent)
    : QWidget(parent), m_folders(new QFileSystemModel(this)), m_files(new QFileSystemModel(this)) {
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QString());
    TeShellTreeView1 = named(new QTreeView, u"TeShellTreeView1"_qs, kOrdner);
    TeShellTreeView1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        TeShellTreeView1->hideColumn(column);
    TeShellTreeView1->setHeaderHidden(true);

    m_files->setFilter(QDir::Files);
    m_files->setNameFilters({QStringLiteral("*.htip")});
    m_files->setNameFilterDisables(false);
    TeShellListView1 = named(new QListView, u"TeShellListView1"_qs, kImportdateien);
    TeShellListView1->setModel(m_files);

    pruefbtn = named(new QPushButton(kPruefen), u"pruefbtn"_qs, kPruefen);
    pruefbtn->setEnabled(false);
    bezlb = named(new QLabel(kBezLabel), u"bezlb"_qs, kBezLabel);
    sitelb = named(new QLabel(kWebsiteLabel), u"sitelb"_qs, kWebsiteLabel);
    portlb = named(new QLabel(kPortLabel), u"portlb"_qs, kPortLabel);
    waliste = named(new QTreeWidget, u"waliste"_qs, kErgebnis);
    waliste->setRootIsDecorated(false);
    waliste->setHeaderLabels({kKoBezeichnung, kWert, kTyp, kFind});
    const int widths[] = {250, 200, 80, 100};
    for (int i = 0; i < 4; ++i)
        waliste->header()->resizeSection(i, widths[i]);

    auto *layout = new QGridLayout(this);
    layout->addWidget(TeShellTreeView1, 0, 0);
    auto *right = new QVBoxLayout;
    right->addWidget(TeShellListView1);
    right->addWidget(pruefbtn);
    layout->addLayout(right, 0, 1);
    auto *labels = new QVBoxLayout;
    // The labels describe the file whose records the list shows.
    for (QLabel *label : {bezlb, sitelb, portlb}) {
        label->setBuddy(waliste);
        labels->addWidget(label);
    }
    layout->addLayout(labels, 1, 0, 1, 2);
    layout->addWidget(waliste, 2, 0, 1, 2);
    layout->setRowStretch(2, 1);

    connect(TeShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                TeShellListView1->setRootIndex(m_files->setRootPath(m_folders->filePath(current)));
                selectionChanged();
            });
    connect(TeShellListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CheckTab::selectionChanged);
    connect(m_files, &QFileSystemModel::directoryLoaded, this, &CheckTab::selectionChanged);
    connect(pruefbtn, &QPushButton::clicked, this, [this] {
        const QModelIndexList chosen = TeShellListView1->selectionModel()->selectedIndexes();
        if (!chosen.isEmpty())
            emit checkRequested(m_files->filePath(chosen.first()));
    });

    const QModelIndex start = m_folders->index(folder);
    TeShellTreeView1->setCurrentIndex(start);
    TeShellTreeView1->scrollTo(start);
}

void CheckTab::selectionChanged() {
    pruefbtn->setEnabled(TeShellListView1->selectionModel()->hasSelection());
}

void CheckTab::showFile(const WebQueryCheck::File &file) {
    bezlb->setText(kBezLabel + u' ' + file.bezeichnung);
    sitelb->setText(kWebsiteLabel + u' ' + file.host + file.site);
    portlb->setText(kPortLabel + u' ' + file.port);
}

void CheckTab::clearRows() {
    waliste->clear();
}

void CheckTab::showRows(const QList<WebQueryCheck::Row> &rows) {
    waliste->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const WebQueryCheck::Row &row : rows)
        items.append(new QTreeWidgetItem(QStringList{row.koName, row.value, row.operation, row.find}));
    waliste->addTopLevelItems(items);
}
