#include "LimitsPanel.h"

#include "History.h"
#include "HistoryTexts.h"
#include "NamedWidgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

using NamedWidgets::buddyLabel;
using NamedWidgets::button;
using NamedWidgets::named;

LimitsPanel::LimitsPanel(History &history, QWidget *parent)
    : QGroupBox(HistoryTexts::kLimitsBox, parent), m_history(history) {
    setObjectName(QStringLiteral("limitsPanel"));
    keepDays = named(new QSpinBox(this), QStringLiteral("keepDays"), HistoryTexts::kKeepDays);
    keepDays->setRange(HistoryLimits::kMinDays, HistoryLimits::kMaxDays);
    keepDays->setValue(history.limits().days);
    keepMegabytes = named(new QSpinBox(this), QStringLiteral("keepMegabytes"), HistoryTexts::kKeepMegabytes);
    keepMegabytes->setRange(HistoryLimits::kMinMegabytes, HistoryLimits::kMaxMegabytes);
    keepMegabytes->setValue(history.limits().megabytes);
    applyLimits =
        button(QStringLiteral("applyLimits"), HistoryTexts::kApplyLimits, HistoryTexts::kApplyLimitsHint, this);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(buddyLabel(HistoryTexts::kKeepDays, keepDays, this));
    layout->addWidget(keepDays);
    layout->addWidget(buddyLabel(HistoryTexts::kKeepMegabytes, keepMegabytes, this));
    layout->addWidget(keepMegabytes);
    layout->addStretch();
    layout->addWidget(applyLimits);
    connect(applyLimits, &QPushButton::clicked, this, [this] {
        m_history.setLimits({keepDays->value(), keepMegabytes->value()});
    });
}
