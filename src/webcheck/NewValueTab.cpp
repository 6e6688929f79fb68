#include "NewValueTab.h"

#include "Dialogs.h"
#include "NamedWidgets.h"
#include "ValueDefinition.h"
#include "ValueTemplates.h"
#include "WebCheckTexts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace WebCheckTexts;
using namespace NamedWidgets;

namespace {
QToolButton *arrow(const QString &objectName, Qt::ArrowType type, const QString &hint) {
    auto *b = named(new QToolButton, objectName, hint, hint);
    b->setArrowType(type);
    return b;
}

QFont bold(QFont font) {
    font.setBold(true);
    return font;
}
} // namespace

NewValueTab::NewValueTab(const QString &programFolder, Dialogs &dialogs, QWidget *parent)
    : QWidget(parent), m_folder(programFolder), m_dialogs(dialogs) {
    auto *heading = new QLabel(kNeuHeading);
    heading->setFont(bold(heading->font()));

    werttyp = named(new QComboBox, u"werttyp"_qs, kDatenblock);
    werttyp->addItems({kKlartext, kAusListe});
    wertliste = named(new QPlainTextEdit, u"wertliste"_qs, kListeLabel);
    wertliste->setLineWrapMode(QPlainTextEdit::NoWrap);
    umwandcb = named(new QCheckBox(kUmwandlung), u"umwandcb"_qs, kUmwandlung);
    alsvorlagecb = named(new QCheckBox(kAlsVorlage), u"alsvorlagecb"_qs, kAlsVorlage);
    vorlagewahl = named(new QComboBox, u"vorlagewahl"_qs, kVorlageWaehlen);
    heading->setBuddy(werttyp);
    auto *value = new QFormLayout;
    value->addRow(buddyLabel(kDatenblock, werttyp, nullptr), werttyp);
    value->addRow(buddyLabel(kListeLabel, wertliste, nullptr), wertliste);
    value->addRow(umwandcb);
    value->addRow(alsvorlagecb);
    value->addRow(buddyLabel(kVorlageWaehlen, vorlagewahl, nullptr), vorlagewahl);

    kotyp = named(new QComboBox, u"kotyp"_qs, kKoTyp);
    kotyp->addItems(ValueDefinition::koTypes());
    kotyp->setEditable(false); // a typed type would shift the definition's fixed positions
    kobez = named(new QLineEdit, u"kobez"_qs, kKoBez);
    addKO = named(new QPushButton(kErstellen), u"addKO"_qs, kErstellen);
    kopanel = named(new QGroupBox(kKObjekt), u"kopanel"_qs, kKObjekt);
    m_koSpec = objectNamed(new QLabel, u"kospec"_qs);
    m_koSpec->setFont(bold(m_koSpec->font()));
    auto *panelLayout = new QVBoxLayout(kopanel);
    panelLayout->addWidget(m_koSpec);
    auto *ko = new QFormLayout;
    ko->addRow(buddyLabel(kKoTyp, kotyp, nullptr), kotyp);
    ko->addRow(buddyLabel(kKoBez, kobez, nullptr), kobez);
    ko->addRow(addKO);
    ko->addRow(kopanel);

    aktdaten = objectNamed(new QLabel(kGefundeneDaten), u"aktdaten"_qs);
    aktdaten->setFont(bold(aktdaten->font()));
    aktdaten->setAlignment(Qt::AlignCenter);
    aktdaten->setTextFormat(Qt::PlainText);
    vtlinks = arrow(u"vtlinks"_qs, Qt::LeftArrow, kWenigerLesen);
    vtrechts = arrow(u"vtrechts"_qs, Qt::RightArrow, kMehrLesen);
    ntlinks = arrow(u"ntlinks"_qs, Qt::LeftArrow, kWenigerLesen);
    ntrechts = arrow(u"ntrechts"_qs, Qt::RightArrow, kMehrLesen);
    auto *trims = new QHBoxLayout;
    trims->addWidget(vtlinks);
    trims->addWidget(vtrechts);
    trims->addWidget(aktdaten, 1);
    trims->addWidget(ntlinks);
    trims->addWidget(ntrechts);

    okbtn = named(new QPushButton(kOk), u"okbtn"_qs, kOk);
    abbruchbtn = named(new QPushButton(kAbbruch), u"abbruchbtn"_qs, kAbbruch);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(okbtn);
    buttons->addWidget(abbruchbtn);

    auto *columns = new QHBoxLayout;
    columns->addLayout(value, 1);
    columns->addLayout(ko, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addLayout(trims);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);

    connect(werttyp, &QComboBox::currentIndexChanged, this, &NewValueTab::werttypChanged);
    connect(umwandcb, &QCheckBox::clicked, this, &NewValueTab::umwandcbClicked);
    connect(kobez, &QLineEdit::textChanged, this, [this](const QString &text) { addKO->setEnabled(!text.isEmpty()); });
    connect(addKO, &QPushButton::clicked, this, &NewValueTab::addKOClick);
    connect(okbtn, &QPushButton::clicked, this, &NewValueTab::okbtnClick);
    connect(abbruchbtn, &QPushButton::clicked, this, &NewValueTab::abbruchbtnClick);
    connect(vorlagewahl, &QComboBox::activated, this, &NewValueTab::vorlagewahlClosed);
    connect(vtlinks, &QToolButton::clicked, this, [this] { trim(&ValueDefinition::readMoreAtStart); });
    connect(vtrechts, &QToolButton::clicked, this,
            [this] { trim([](AnalysisEntry &e, QStringView) { ValueDefinition::readLessAtStart(e); }); });
    connect(ntlinks, &QToolButton::clicked, this, [this] { trim(&ValueDefinition::readMoreAtEnd); });
    connect(ntrechts, &QToolButton::clicked, this,
            [this] { trim([](AnalysisEntry &e, QStringView) { ValueDefinition::readLessAtEnd(e); }); });

    addKO->setEnabled(false);
    resetDefinition();
}

void NewValueTab::choose(int row, const AnalysisEntry &entry, const QString &source) {
    readTemplates();
    m_row = row;
    m_entry = entry;
    m_source = source;
    aktdaten->setText(entry.value);
}

void NewValueTab::readTemplates() {
    vorlagewahl->clear();
    vorlagewahl->addItems(ValueTemplates::list(m_folder));
}

void NewValueTab::trim(void (*step)(AnalysisEntry &, QStringView)) {
    if (m_row < 0)
        return;
    step(m_entry, m_source);
    aktdaten->setText(m_entry.value);
    emit entryEdited(m_row, m_entry);
}

void NewValueTab::setKoSpec(const QString &spec) {
    m_koSpec->setText(spec);
    kopanel->setAccessibleDescription(spec);
    okbtn->setEnabled(spec != ValueDefinition::kNoKoSpec);
}

void NewValueTab::werttypChanged(int index) {
    const bool list = index == 1;
    for (QWidget *w :
         {static_cast<QWidget *>(wertliste), static_cast<QWidget *>(alsvorlagecb), static_cast<QWidget *>(vorlagewahl)})
        w->setEnabled(list);
    setKoSpec(ValueDefinition::withValueType(m_koSpec->text(), index));
}

void NewValueTab::umwandcbClicked(bool checked) {
    setKoSpec(ValueDefinition::withConversion(m_koSpec->text(), checked));
}

void NewValueTab::addKOClick() {
    setKoSpec(
        ValueDefinition::koSpec(werttyp->currentIndex(), umwandcb->isChecked(), kotyp->currentIndex(), kobez->text()));
}

QStringList NewValueTab::listLines() const {
    const QString text = wertliste->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(u'\n');
}

void NewValueTab::okbtnClick() {
    if (m_row < 0 || !okbtn->isEnabled())
        return;
    ValueDefinition::apply(m_entry, werttyp->currentIndex(), wertliste->toPlainText(), umwandcb->isChecked(),
                           m_koSpec->text(), kotyp->currentIndex(), kobez->text());
    emit entryEdited(m_row, m_entry);
    if (alsvorlagecb->isChecked()) {
        QString error;
        // The entry keeps its definition; the tab stays open so the list can be mended.
        if (!ValueTemplates::save(m_folder, listLines(), &error)) {
            m_dialogs.error(error);
            return;
        }
    }
    resetDefinition();
    wertliste->clear();
    umwandcb->setChecked(false);
    alsvorlagecb->setChecked(false);
    readTemplates();
    emit finished();
}

void NewValueTab::abbruchbtnClick() {
    resetDefinition();
    emit finished();
}

void NewValueTab::resetDefinition() {
    setKoSpec(ValueDefinition::kNoKoSpec);
    if (werttyp->currentIndex() != 0)
        werttyp->setCurrentIndex(0);
    else
        werttypChanged(0);
}

void NewValueTab::vorlagewahlClosed() {
    if (vorlagewahl->currentText().isEmpty() || !m_dialogs.confirm(kVorlageUebernehmen))
        return;
    wertliste->clear();
    QString error;
    const auto lines = ValueTemplates::load(m_folder + vorlagewahl->currentText(), &error);
    if (!lines) {
        m_dialogs.error(error);
        return;
    }
    wertliste->setPlainText(lines->join(u'\n'));
}
