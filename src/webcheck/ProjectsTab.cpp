#include "ProjectsTab.h"

#include "Dialogs.h"
#include "FieldFocus.h"
#include "NamedWidgets.h"
#include "PageSession.h"
#include "WebCheckTexts.h"

#include <QDir>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

using namespace WebCheckTexts;
using namespace NamedWidgets;

ProjectsTab::ProjectsTab(PageSession &session, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_session(session), m_dialogs(dialogs) {
    auto *layout = new QVBoxLayout(this);

    auto *current = objectNamed(new QGroupBox(kAktuellesProjekt), u"aktprojekt"_qs);
    auto *fields = new QFormLayout;
    WABez = named(new QLineEdit, u"WABez"_qs, kBezeichnung);
    WAHOST = named(new QLineEdit, u"WAHOST"_qs, kHost);
    WAPORT = named(new QLineEdit, u"WAPORT"_qs, kPort);
    WASITE = named(new QLineEdit, u"WASITE"_qs, kSite);
    const std::pair<const QString *, QLineEdit *> rows[] = {
        {&kBezeichnung, WABez}, {&kHost, WAHOST}, {&kPort, WAPORT}, {&kSite, WASITE}};
    for (const auto &[caption, edit] : rows) {
        fields->addRow(buddyLabel(*caption, edit, nullptr), edit);
        FieldFocus::selectAllOnFocus(edit);
    }
    for (QLineEdit *edit : {WABez, WAHOST, WASITE})
        edit->installEventFilter(this);
    neubtn = button(u"neubtn"_qs, kTabNeu, kNeuHint, nullptr);
    savebtn = button(u"savebtn"_qs, kSpeichern, kSpeichernHint, nullptr);
    gobrowser = named(new QToolButton, u"gobrowser"_qs, kWebsiteLaden, kWebsiteLaden);
    gobrowser->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
    auto *actions = new QHBoxLayout;
    actions->addWidget(neubtn);
    actions->addWidget(savebtn);
    actions->addSpacing(20);
    actions->addWidget(gobrowser);
    actions->addWidget(buddyLabel(kHierKlicken, gobrowser, nullptr));
    actions->addStretch();
    auto *currentLayout = new QVBoxLayout(current);
    currentLayout->addLayout(fields);
    currentLayout->addLayout(actions);

    auto *saved = objectNamed(new QGroupBox(kGespeicherteProjekteGroup), u"gespprojekte"_qs);
    projektliste = named(new QListWidget, u"projektliste"_qs, kGespeicherteProjekte);
    projektliste->setSortingEnabled(true);
    openbtn = button(u"openbtn"_qs, kOeffnen, kOeffnenHint, nullptr);
    deletebtn = button(u"deletebtn"_qs, kLoeschen, kLoeschenHint, nullptr);
    exportbtn = button(u"exportbtn"_qs, kExport, kExportHint, nullptr);
    exportbar = named(new QProgressBar, u"exportbar"_qs, kExport);
    exportbar->setRange(0, 100);
    exportlb = objectNamed(new QLabel, u"exportlb"_qs);
    m_exportFile = objectNamed(new QLabel, u"exportdatei"_qs);
    m_exportFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *savedButtons = new QHBoxLayout;
    for (QPushButton *b : {openbtn, deletebtn, exportbtn})
        savedButtons->addWidget(b);
    savedButtons->addStretch();
    auto *savedLayout = new QVBoxLayout(saved);
    savedLayout->addWidget(projektliste);
    savedLayout->addLayout(savedButtons);
    savedLayout->addWidget(exportbar);
    savedLayout->addWidget(exportlb);
    savedLayout->addWidget(m_exportFile);

    auto *templates = objectNamed(new QGroupBox(kVorlagen), u"vorlagen"_qs);
    vorlageliste = named(new QListWidget, u"vorlageliste"_qs, kVorlagenListe);
    vorlageliste->setSortingEnabled(true);
    vorlageliste->setMaximumHeight(90);
    deletevlgbtn = button(u"deletevlgbtn"_qs, kLoeschen, kVorlageLoeschenHint, nullptr);
    auto *templatesLayout = new QHBoxLayout(templates);
    templatesLayout->addWidget(vorlageliste, 1);
    templatesLayout->addWidget(deletevlgbtn, 0, Qt::AlignTop);

    layout->addWidget(current);
    layout->addWidget(saved, 1);
    layout->addWidget(templates);

    connect(neubtn, &QPushButton::clicked, this, [this] {
        enterEditing();
        WABez->setFocus();
        emit newProject();
    });
    connect(savebtn, &QPushButton::clicked, this, &ProjectsTab::save);
    connect(openbtn, &QPushButton::clicked, this, [this] {
        if (const QString file = chosenProject(); !file.isEmpty())
            m_session.openProject(file);
    });
    connect(deletebtn, &QPushButton::clicked, this, [this] {
        const QString file = chosenFile(projektliste);
        if (!file.isEmpty() && m_session.removeFile(file))
            readProjectList();
    });
    connect(gobrowser, &QToolButton::clicked, this, [this] {
        const WebQueryProject project = takeFields();
        emit pageWanted(project.bezeichnung);
        m_session.load(project.address());
    });
    connect(projektliste, &QListWidget::itemSelectionChanged, this, &ProjectsTab::projectListChanged);
    connect(exportbtn, &QPushButton::clicked, this, [this] {
        if (const QString file = chosenProject(); !file.isEmpty()) {
            m_exportFile->clear();
            m_session.startExport(file);
        }
    });
    connect(deletevlgbtn, &QPushButton::clicked, this, [this] {
        const QString file = chosenFile(vorlageliste);
        if (file.isEmpty() || !m_session.removeFile(file))
            return;
        readTemplates();
        emit templatesChanged();
    });
    connect(vorlageliste, &QListWidget::itemSelectionChanged, this,
            [this] { deletevlgbtn->setEnabled(vorlageliste->count() > 0); });

    connect(&session, &PageSession::projectRead, this, &ProjectsTab::fill);
    connect(&session, &PageSession::projectOpened, this, &ProjectsTab::enterEditing);
    connect(&session, &PageSession::siteFollowed, WASITE, &QLineEdit::setText);
    connect(&session, &PageSession::exportStatus, exportlb, &QLabel::setText);
    connect(&session, &PageSession::exportProgress, exportbar, &QProgressBar::setValue);
    connect(&session, &PageSession::exportEnded, this, [this](const QString &path) {
        m_exportFile->setText(path.isEmpty() ? QString() : kExportDatei.arg(QDir::toNativeSeparators(path)));
    });

    // The first state: example texts in the disabled fields.
    WABez->setText(kBezPlaceholder);
    WAHOST->setText(kExampleHost);
    WAPORT->setText(kInitialPort);
    WASITE->setText(kInitialSite);
    setFieldsEnabled(false);
    savebtn->setEnabled(false);
    readProjectList();
    readTemplates();
}

bool ProjectsTab::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::MouseButtonPress) {
        const std::pair<QLineEdit *, const QString *> placeholders[] = {
            {WABez, &kBezPlaceholder}, {WAHOST, &kHostPlaceholder}, {WASITE, &kSitePlaceholder}};
        for (const auto &[edit, text] : placeholders)
            if (watched == edit && edit->text() == *text)
                edit->clear();
    }
    return QWidget::eventFilter(watched, event);
}

void ProjectsTab::reset() {
    exportlb->clear();
    m_exportFile->clear();
    exportbar->setValue(0);
    readProjectList();
    readTemplates();
}

bool ProjectsTab::isEditing() const {
    return savebtn->isEnabled();
}

WebQueryProject ProjectsTab::takeFields() {
    // A host typed with its port is shown taken apart, as it is loaded and saved.
    const PagePlace::HostAndPort place = PagePlace::split(WAHOST->text(), WAPORT->text());
    if (place.host != WAHOST->text()) {
        WAHOST->setText(place.host);
        WAPORT->setText(place.port);
    }
    return WebQueryProject{WABez->text(), place.host, place.port, WASITE->text(), {}};
}

void ProjectsTab::fill(const WebQueryProject &project) {
    WABez->setText(project.bezeichnung);
    WAHOST->setText(project.host);
    WAPORT->setText(project.port);
    WASITE->setText(project.site);
    // Nothing else may start while the page loads; the rows follow when it has completed.
    for (QPushButton *b : {neubtn, openbtn, deletebtn, exportbtn})
        b->setEnabled(false);
}

void ProjectsTab::setFieldsEnabled(bool enabled) {
    for (QLineEdit *edit : {WABez, WAHOST, WAPORT, WASITE})
        edit->setEnabled(enabled);
}

void ProjectsTab::readProjectList() {
    projektliste->clear();
    projektliste->addItems(m_session.projectFiles());
    projectListChanged();
}

void ProjectsTab::projectListChanged() {
    const bool any = projektliste->count() > 0;
    for (QPushButton *b : {openbtn, deletebtn, exportbtn})
        b->setEnabled(any);
}

void ProjectsTab::readTemplates() {
    vorlageliste->clear();
    vorlageliste->addItems(m_session.templateFiles());
    deletevlgbtn->setEnabled(vorlageliste->count() > 0);
}

void ProjectsTab::enterIdle() {
    neubtn->setEnabled(true);
    openbtn->setEnabled(true);
    deletebtn->setEnabled(true);
    setFieldsEnabled(false);
    WABez->setText(kBezPlaceholder);
    WAHOST->setText(kHostPlaceholder);
    WASITE->setText(kSitePlaceholder);
    savebtn->setEnabled(false);
}

void ProjectsTab::enterEditing() {
    setFieldsEnabled(true);
    savebtn->setEnabled(true);
    for (QPushButton *b : {neubtn, openbtn, deletebtn, exportbtn})
        b->setEnabled(false);
}

bool ProjectsTab::save() {
    savebtn->setEnabled(false);
    if (!m_session.saveProject(takeFields())) {
        savebtn->setEnabled(true);
        return false;
    }
    enterIdle();
    emit saved();
    readProjectList();
    return true;
}

void ProjectsTab::discard() {
    enterIdle();
}

QString ProjectsTab::chosenFile(const QListWidget *list) {
    const QListWidgetItem *item = list->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

QString ProjectsTab::chosenProject() {
    const QString file = chosenFile(projektliste);
    if (file.isEmpty())
        m_dialogs.information(kSelectFirst);
    return file;
}
