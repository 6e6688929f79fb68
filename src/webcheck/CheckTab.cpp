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

CheckTab::CheckTab(const QString &folder, QWidget *parent) : QWidget(parent), m_folder(folder) {
    TeShellTreeView1 = named(new QTreeView, u"TeShellTreeView1"_qs, kOrdner);
    TeShellTreeView1->setHeaderHidden(true);
    TeShellListView1 = named(new QListView, u"TeShellListView1"_qs, kImportdateien);
    pruefbtn = named(new QPushButton(kPruefen), u"pruefbtn"_qs, kPruefen);
    pruefbtn->setEnabled(false);
    bezlb = named(new QLabel(kBezLabel), u"bezlb"_qs, kBezLabel);
    sitelb = named(new QLabel(kWebsiteLabel), u"sitelb"_qs, kWebsiteLabel);
    portlb = named(new QLabel(kPortLabel), u"portlb"_qs, kPortLabel);
    waliste = named(new QTreeWidget, u"waliste"_qs, kErgebnis);
    m_status = objectNamed(new QLabel, u"pruefstatus"_qs);
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
    layout->addWidget(m_status, 3, 0, 1, 2);
    layout->setRowStretch(2, 1);

    connect(pruefbtn, &QPushButton::clicked, this, [this] {
        if (!m_file.isEmpty())
            emit checkRequested(m_file);
    });
}

void CheckTab::showEvent(QShowEvent *event) {
    if (!m_folders)
        makeModels();
    QWidget::showEvent(event);
}

void CheckTab::hideEvent(QHideEvent *event) {
    // The views let go of a model that is deleted; the selection models go with it.
    delete std::exchange(m_files, nullptr);
    delete std::exchange(m_folders, nullptr);
    pruefbtn->setEnabled(false);
    QWidget::hideEvent(event);
}

void CheckTab::makeModels() {
    m_folders = new QFileSystemModel(this);
    m_folders->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folders->setRootPath(QString());
    TeShellTreeView1->setModel(m_folders);
    for (int column = 1; column < m_folders->columnCount(); ++column)
        TeShellTreeView1->hideColumn(column);

    m_files = new QFileSystemModel(this);
    m_files->setFilter(QDir::Files);
    m_files->setNameFilters({QStringLiteral("*.htip")});
    m_files->setNameFilterDisables(false);
    TeShellListView1->setModel(m_files);

    connect(TeShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this, &CheckTab::folderChosen);
    connect(TeShellListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, &CheckTab::fileChosen);
    // After any change of the list the button follows what is chosen.
    connect(m_files, &QFileSystemModel::directoryLoaded, this, [this] {
        chooseFileAgain();
        fileChosen();
    });
    connect(m_files, &QFileSystemModel::rowsRemoved, this, &CheckTab::fileChosen);

    const QString file = m_file;
    const QModelIndex start = m_folders->index(m_folder);
    TeShellTreeView1->setCurrentIndex(start);
    TeShellTreeView1->scrollTo(start);
    m_file = file;
    chooseFileAgain();
}

void CheckTab::folderChosen(const QModelIndex &current) {
    m_folder = m_folders->filePath(current);
    m_file.clear();
    TeShellListView1->setRootIndex(m_files->setRootPath(m_folder));
    fileChosen();
}

void CheckTab::fileChosen() {
    const QModelIndexList chosen = TeShellListView1->selectionModel()->selectedIndexes();
    m_file = chosen.isEmpty() ? QString() : m_files->filePath(chosen.first());
    pruefbtn->setEnabled(!m_file.isEmpty());
}

void CheckTab::chooseFileAgain() {
    if (m_file.isEmpty() || TeShellListView1->selectionModel()->hasSelection())
        return;
    const QModelIndex file = m_files->index(m_file);
    if (file.isValid() && file.parent() == TeShellListView1->rootIndex())
        TeShellListView1->setCurrentIndex(file);
}

void CheckTab::showFile(const WebQueryCheck::File &file) {
    bezlb->setText(kBezLabel + u' ' + file.bezeichnung);
    sitelb->setText(kWebsiteLabel + u' ' + file.host + file.site);
    portlb->setText(kPortLabel + u' ' + file.port);
    waliste->clear();
    m_status->setText(kPruefeSeite);
}

void CheckTab::showStatus(const QString &text) {
    m_status->setText(text);
}

void CheckTab::showResult(const QList<WebQueryCheck::Row> &rows, const QString &status) {
    m_status->setText(status);
    waliste->clear();
    QList<QTreeWidgetItem *> items;
    items.reserve(rows.size());
    for (const WebQueryCheck::Row &row : rows)
        items.append(new QTreeWidgetItem(QStringList{row.koName, row.value, row.operation, row.find}));
    waliste->addTopLevelItems(items);
}
