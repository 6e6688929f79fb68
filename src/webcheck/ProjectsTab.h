#pragma once

#include "WebQueryProject.h"

#include <QWidget>

class Dialogs;
class PageSession;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;

// The tab "Daten": the current project's four fields with New, Save and the load button, the saved
// projects with Open, Delete and Export, and the value templates. Two states: idle (the fields
// disabled, showing placeholders) and editing (the fields and Save enabled).
class ProjectsTab : public QWidget {
    Q_OBJECT

public:
    ProjectsTab(PageSession &session, Dialogs &dialogs, QWidget *parent = nullptr);

    // What opening the window does here: the export display reset, both lists read again.
    void reset();
    // A project is being edited (Save is enabled).
    bool isEditing() const;
    // Save: true when the file was written; otherwise the texts stay so the name can be mended.
    bool save();
    // The edited project discarded: back to the idle state.
    void discard();
    void readTemplates();

signals:
    void newProject();
    void saved();
    // "Website laden": the page of the fields is loading; the tab "Browser" is wanted with `caption`.
    void pageWanted(const QString &bezeichnung);
    // A template was deleted.
    void templatesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The project of the four fields; a host with its port is taken apart in the fields too.
    WebQueryProject takeFields();
    void readProjectList();
    void projectListChanged();
    void enterIdle();
    void enterEditing();
    void setFieldsEnabled(bool enabled);
    // The file chosen in `list`, or an empty text.
    static QString chosenFile(const QListWidget *list);
    // The project file Open and Export act on; without one, the user is told to choose one first.
    QString chosenProject();
    void fill(const WebQueryProject &project);

    PageSession &m_session;
    Dialogs &m_dialogs;

    QLineEdit *WABez, *WAHOST, *WAPORT, *WASITE;
    QPushButton *neubtn, *savebtn, *openbtn, *deletebtn, *exportbtn;
    QToolButton *gobrowser;
    QListWidget *projektliste;
    QProgressBar *exportbar;
    QLabel *exportlb, *m_exportFile;
    QListWidget *vorlageliste;
    QPushButton *deletevlgbtn;
};
