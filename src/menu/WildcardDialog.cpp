#include "WildcardDialog.h"

#include "Dialogs.h"
#include "FileMessages.h"
#include "IniFile.h"
#include "WildcardTextsFile.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The settings file also holds the gateway key.
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

WildcardDialog::WildcardDialog(QString settingsFile, WildcardTexts &texts, Dialogs &dialogs, QWidget *parent)
    : QDialog(parent, Qt::Tool), m_settingsFile(std::move(settingsFile)), m_texts(texts), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("TForm5"));
    setWindowTitle(QStringLiteral("Quendra Konfig"));
    setAccessibleName(windowTitle());
    resize(401, 231);

    auto *group = new QGroupBox(QStringLiteral(" Wildcards "), this);
    group->setAccessibleName(QStringLiteral("Wildcards"));
    auto *grid = new QGridLayout(group);
    const QString one = QStringLiteral("1");
    const QString zero = QStringLiteral("0");
    grid->addWidget(new QLabel(one, group), 0, 1);
    grid->addWidget(new QLabel(zero, group), 0, 2);
    const struct {
        const char *left;
        const char *right;
        QString label;
        QLineEdit **leftEdit;
        QLineEdit **rightEdit;
    } rows[] = {{"wc1auf", "wc1zu", QStringLiteral("$1 1=auf/0=zu"), &wc1auf, &wc1zu},
                {"wc2oben", "wc2unten", QStringLiteral("$2 1=oben/0=unten"), &wc2oben, &wc2unten},
                {"wc3an", "wc3aus", QStringLiteral("$3 1=an/0=aus"), &wc3an, &wc3aus}};
    int row = 1;
    for (const auto &r : rows) {
        *r.leftEdit = new QLineEdit(group);
        *r.rightEdit = new QLineEdit(group);
        (*r.leftEdit)->setObjectName(QLatin1String(r.left));
        (*r.rightEdit)->setObjectName(QLatin1String(r.right));
        // Each edit is read by its row and its column.
        (*r.leftEdit)->setAccessibleName(r.label + QStringLiteral(", ") + one);
        (*r.rightEdit)->setAccessibleName(r.label + QStringLiteral(", ") + zero);
        auto *label = new QLabel(r.label, group);
        label->setBuddy(*r.leftEdit);
        grid->addWidget(label, row, 0);
        grid->addWidget(*r.leftEdit, row, 1);
        grid->addWidget(*r.rightEdit, row, 2);
        ++row;
    }

    TeButton1 = new QPushButton(QStringLiteral("Schließen"), this);
    TeButton1->setObjectName(QStringLiteral("TeButton1"));
    TeButton1->setAccessibleName(TeButton1->text());
    TeButton1->setDefault(true);
    connect(TeButton1, &QPushButton::clicked, this, &WildcardDialog::TeButton1Click);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(TeButton1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(bottom);
    FormCreate();
}

void WildcardDialog::FormCreate() {
    const WildcardTexts texts = WildcardTextsFile::read(IniFile(m_settingsFile));
    wc1auf->setText(texts.wc1a);
    wc1zu->setText(texts.wc1b);
    wc2oben->setText(texts.wc2a);
    wc2unten->setText(texts.wc2b);
    wc3an->setText(texts.wc3a);
    wc3aus->setText(texts.wc3b);
}

WildcardTexts WildcardDialog::edited() const {
    WildcardTexts texts;
    texts.wc1a = wc1auf->text();
    texts.wc1b = wc1zu->text();
    texts.wc2a = wc2oben->text();
    texts.wc2b = wc2unten->text();
    texts.wc3a = wc3an->text();
    texts.wc3b = wc3aus->text();
    return texts;
}

void WildcardDialog::TeButton1Click() {
    const WildcardTexts texts = edited();
    IniFile ini(m_settingsFile);
    // A file that could not be read is not written over: it holds the other settings too.
    if (!ini.readOk()) {
        m_dialogs.error(FileMessages::cannotRead(m_settingsFile));
    } else {
        WildcardTextsFile::write(ini, texts);
        if (!ini.save(kOwnerOnly))
            m_dialogs.error(ini.errorString());
    }
    m_texts = texts;
    accept();
}
