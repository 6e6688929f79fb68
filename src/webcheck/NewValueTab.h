#pragma once

#include "WebQueryProject.h"

#include <QWidget>

class Dialogs;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The tab "Neu": the user trims a found value to its exact place, chooses how the server reads it
// and builds the object for it; OK writes the definition into the entry.
class NewValueTab : public QWidget {
    Q_OBJECT

public:
    // `programFolder` ends with a separator; templates are read from and saved there.
    NewValueTab(const QString &programFolder, Dialogs &dialogs, QWidget *parent = nullptr);

    // The row of the analysis list the buttons act on, and the page source's text the trims read.
    void choose(int row, const AnalysisEntry &entry, const QString &source);
    // Back to "Wert als Klartext" without object, as Abbruch and discarding a project leave it.
    void resetDefinition();
    // Offers the templates of the program folder.
    void readTemplates();

signals:
    // The entry of `row` changed (a trim, or OK).
    void entryEdited(int row, const AnalysisEntry &entry);
    // OK or Abbruch: the tab is done.
    void finished();

private:
    void werttypChanged(int index);
    void umwandcbClicked(bool checked);
    void addKOClick();
    void okbtnClick();
    void abbruchbtnClick();
    void vorlagewahlClosed();
    void trim(void (*step)(AnalysisEntry &, QStringView));
    void setKoSpec(const QString &spec);
    QStringList listLines() const;

    QString m_folder;
    Dialogs &m_dialogs;
    int m_row = -1;
    AnalysisEntry m_entry;
    QString m_source;

    QComboBox *werttyp, *kotyp, *vorlagewahl;
    QPlainTextEdit *wertliste;
    QCheckBox *umwandcb, *alsvorlagecb;
    QLineEdit *kobez;
    QPushButton *addKO, *okbtn, *abbruchbtn;
    QGroupBox *kopanel;
    QLabel *m_koSpec, *aktdaten;
    QToolButton *vtlinks, *vtrechts, *ntlinks, *ntrechts;
};
